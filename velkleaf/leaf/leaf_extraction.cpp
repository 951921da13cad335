// The leaf pipeline: largest region, skeleton graph, stem, pruning, two passes of the
// leaf search (the first only places the stem cut), measures and the overview image.
#include "leaf/leaf_extraction.h"

#include "graph/leaf_path.h"
#include "leaf/branch_images.h"
#include "leaf/largest_region.h"
#include "leaf/leaf_measures.h"
#include "leaf/pruning.h"
#include "leaf/stem.h"
#include "leaf/stem_thickness.h"
#include "platform/diagnostic_file.h"
#include "skeleton/skeleton.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The plant mask loses this many pixels at each image edge before skeletonization.
constexpr int kClearedBorder = 5;
// Free side branches shorter than this fraction of the long branches' mean are pruned.
constexpr double kPruneFraction = 0.2;
constexpr int kCandidateRingRadius = 7;
constexpr int kCandidateRingThickness = 3;
const cv::Scalar kCandidateRingColour(20, 20, 255);

using LeafList = std::vector<Leaf>;

void clearBorder(cv::Mat& mask)
{
    const int rows = mask.rows;
    const int cols = mask.cols;
    mask.rowRange(0, std::min(kClearedBorder, rows)).setTo(0);
    mask.rowRange(std::max(rows - kClearedBorder, 0), rows).setTo(0);
    mask.colRange(0, std::min(kClearedBorder, cols)).setTo(0);
    mask.colRange(std::max(cols - kClearedBorder, 0), cols).setTo(0);
}

void showMask(const cv::Mat& mask)
{
    debugShow(cv::Mat(mask * 255.0));
}

LeafList traceLeaves(const std::vector<cv::Point>& candidates, const LeafSearchImages& images, SkeletonGraph& graph)
{
    LeafList leaves;
    for (const cv::Point& candidate : candidates) leaves.push_back(traceLeafPath(images, candidate, graph));
    return leaves;
}

cv::Mat drawOverview(const LeafList& leaves, const std::vector<cv::Point>& candidates, const SkeletonGraph& graph,
                     int rows, int cols)
{
    cv::Mat canvas = drawBranchOverview(rows, cols, graph);
    for (const Leaf& leaf : leaves) drawLeaf(leaf, canvas);
    for (const cv::Point& candidate : candidates)
        cv::circle(canvas, candidate, kCandidateRingRadius, kCandidateRingColour, kCandidateRingThickness,
                   cv::LINE_8, 0);
    return canvas;
}

void copyPlane(const cv::Mat& plane, unsigned char* dst)
{
    const cv::Mat continuous = plane.isContinuous() ? plane : plane.clone();
    std::memcpy(dst, continuous.data, continuous.total());
}

void writeLeafEntries(const LeafList& leaves, const LeafOutputs& out)
{
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(leaves.size()), out.capacity));
    for (std::size_t i = 0; i < count; ++i) {
        const Leaf& leaf = leaves[i];
        if (leaf.empty()) continue;
        out.tipPoints[2 * i] = leaf.front().x;
        out.tipPoints[2 * i + 1] = leaf.front().y;
        out.basePoints[2 * i] = leaf.back().x;
        out.basePoints[2 * i + 1] = leaf.back().y;
        out.baseAngles[i] = baseAngle(leaf);
        out.chordAngles[i] = chordAngle(leaf);
        out.leafLengths[i] = leafLength(leaf);
        out.chordLengths[i] = chordLength(leaf);
    }
}

}  // namespace

void extractLeaves(const cv::Mat& image, bool showDebug, SkeletonGraph& graph, const LeafOutputs& out)
{
    const int rows = image.rows;
    const int cols = image.cols;

    cv::Mat mask;
    keepLargestRegion(image, mask);
    clearBorder(mask);
    if (showDebug) showMask(mask);

    decomposePlantMask(mask, graph);
    markStem(drawBranchMask(rows, cols, graph), graph);
    if (showDebug) showMask(mask);
    pruneShortBranches(kPruneFraction, graph);

    LeafSearchImages images;
    images.branchMask = drawBranchMask(rows, cols, graph);
    writeDiagnosticImage(images.branchMask);

    decomposeSkeleton(images.branchMask, graph);
    markStem(images.branchMask, graph);
    if (showDebug) debugShow(drawBranchOverview(rows, cols, graph));

    images.stemMask = drawStemMask(rows, cols, graph);
    std::vector<cv::Point> candidates = collectTipCandidates(graph);
    if (candidates.empty()) {
        copyPlane(mask, out.overlayBlue);
        copyPlane(mask, out.overlayGreen);
        copyPlane(mask, out.overlayRed);
        return;
    }

    LeafList leaves = traceLeaves(candidates, images, graph);
    cv::Mat canvas = drawOverview(leaves, candidates, graph, rows, cols);
    if (showDebug) {
        debugShow(canvas);
        showMask(mask);
    }

    const int cutRow = stemCutRow(leaves, rows);
    if (showDebug) debugShow(canvas);
    trimStemAbove(cutRow, graph);
    images.stemMask = drawStemMask(rows, cols, graph);
    if (showDebug) debugShow(drawBranchOverview(rows, cols, graph));

    candidates = collectTipCandidates(graph);
    leaves = traceLeaves(candidates, images, graph);
    canvas = drawOverview(leaves, candidates, graph, rows, cols);
    *out.leafCount = static_cast<int>(leaves.size());
    if (showDebug) debugShow(canvas);

    writeLeafEntries(leaves, out);
    std::vector<cv::Mat> planes;
    cv::split(canvas, planes);
    copyPlane(planes[0], out.overlayBlue);
    copyPlane(planes[1], out.overlayGreen);
    copyPlane(planes[2], out.overlayRed);

    *out.stemDiameter = measureStemThickness(mask, showDebug, graph);
    if (showDebug) debugShow(canvas);
}
