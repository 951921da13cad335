// Stem marking from the column profile of the plant's footprint, and the stem cut.
#include "leaf/stem.h"

#include "leaf/leaf_measures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kStemWindowColumns = 20;
// The band around the stem column starts this many columns to each side.
constexpr int kStemBandHalfWidth = 10;
// The band widens by this fraction of the footprint's width per attempt.
constexpr double kStemBandGrowth = 0.07;
constexpr int kStemAttempts = 4;
// Leaves whose chord leaves straight up by more than this many degrees bound the cut row.
constexpr double kDroopingLeafAngle = 100;

std::vector<int> columnProfile(const cv::Mat& skeletonImage)
{
    std::vector<int> profile(static_cast<std::size_t>(skeletonImage.cols), 0);
    for (int row = kStemSearchFirstRow; row < skeletonImage.rows; ++row) {
        const unsigned char* pixels = skeletonImage.ptr<unsigned char>(row);
        for (int col = 0; col < skeletonImage.cols; ++col)
            if (pixels[col] != 0) ++profile[col];
    }
    return profile;
}

int stemColumn(const std::vector<int>& profile)
{
    const int cols = static_cast<int>(profile.size());
    int best = 0;
    int centre = 0;
    // Window starts stop two short of the last full window: the two rightmost columns
    // never weigh in the stem column.
    for (int i = 0; i < cols - (kStemWindowColumns + 1); ++i) {
        int sum = 0;
        for (int j = i; j < i + kStemWindowColumns; ++j) sum += profile[j];
        if (sum > best) {
            best = sum;
            centre = i + kStemWindowColumns / 2;
        }
    }
    return centre;
}

// The lowest branch (largest midpoint row) among indices, ties to the earliest;
// fallback when none lies below row 0.
int lowestBranch(const SkeletonGraph& graph, const std::vector<int>& indices, int fallback)
{
    int chosen = fallback;
    int bestRow = 0;
    for (int i : indices) {
        const int row = branchMidpoint(graph.branches[i]).y;
        if (row > bestRow) {
            bestRow = row;
            chosen = i;
        }
    }
    return chosen;
}

bool anyStem(const SkeletonGraph& graph)
{
    for (const SkeletonBranch& b : graph.branches)
        if (b.role == kRoleStem) return true;
    return false;
}

}  // namespace

cv::Point branchMidpoint(const SkeletonBranch& branch)
{
    const cv::Point first = branch.points.front();
    const cv::Point last = branch.points.back();
    return cv::Point((first.x + last.x) / 2, (first.y + last.y) / 2);
}

void markStem(const cv::Mat& skeletonImage, SkeletonGraph& graph)
{
    const std::vector<int> profile = columnProfile(skeletonImage);
    int firstCol = skeletonImage.cols;
    int lastCol = 0;
    for (int col = 0; col < skeletonImage.cols; ++col)
        if (profile[col] > 0) {
            if (col < firstCol) firstCol = col;
            if (col > lastCol) lastCol = col;
        }
    const int margin = static_cast<int>(std::abs(firstCol - lastCol) * kStemBandGrowth);
    const int centre = stemColumn(profile);

    int low = centre - kStemBandHalfWidth;
    int high = centre + kStemBandHalfWidth;
    for (int attempt = 0; attempt < kStemAttempts; ++attempt) {
        for (SkeletonBranch& b : graph.branches) {
            const int x = branchMidpoint(b).x;
            b.role = low < x && x < high ? kRoleStem : kRoleLeaf;
        }
        if (anyStem(graph)) return;
        low -= margin;
        high += margin;
    }

    if (graph.branches.empty()) return;
    std::vector<int> kept;
    for (std::size_t i = 0; i < graph.branches.size(); ++i)
        if (graph.branches[i].kept) kept.push_back(static_cast<int>(i));
    graph.branches[lowestBranch(graph, kept, 0)].role = kRoleStem;
}

void trimStemAbove(int cutRow, SkeletonGraph& graph)
{
    std::vector<int> formerStem;
    for (std::size_t i = 0; i < graph.branches.size(); ++i) {
        SkeletonBranch& b = graph.branches[i];
        if (b.role != kRoleStem) continue;
        formerStem.push_back(static_cast<int>(i));
        if (branchMidpoint(b).y < cutRow) b.role = kRoleLeaf;
    }
    if (anyStem(graph) || formerStem.empty()) return;
    graph.branches[lowestBranch(graph, formerStem, formerStem.front())].role = kRoleStem;
}

int stemCutRow(const std::vector<std::vector<cv::Point>>& leaves, int rows)
{
    int a1 = rows, a2 = rows, a3 = rows, a4 = rows;
    for (const std::vector<cv::Point>& leaf : leaves) {
        if (leaf.empty() || leaf.back().y == -1) continue;
        const cv::Point tip = leaf.front();
        const cv::Point base = leaf.back();
        const int y = base.y;
        if (y < a2) {
            a4 = a3;
            a3 = a2;
            a2 = y;
        } else if (y < a3) {
            a3 = y;
        }
        const double theta = directionAngle(tip.x - base.x, tip.y - base.y);
        if (std::abs(theta - kUpwardDirection) > kDroopingLeafAngle && y < a1) a1 = y;
    }
    int cut = std::min(a1, a4);
    if (cut == rows) cut = a3;
    if (cut == rows) cut = a2;
    if (cut == rows) cut = 0;
    return cut;
}
