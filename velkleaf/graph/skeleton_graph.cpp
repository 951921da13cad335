// Decomposition of a one-pixel skeleton into junction nodes and branches.
#include "graph/skeleton_graph.h"

#include "skeleton/skeleton.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

namespace {

// Marks of the working raster.
constexpr unsigned char kBackground = 0;
constexpr unsigned char kUntaken = 10;
constexpr unsigned char kJunction = 20;
constexpr unsigned char kTaken = 3;

// A junction has more than this many skeleton neighbours.
constexpr int kMaxChainNeighbours = 2;

// The one neighbour order of the graph: the row above left to right, then left and
// right, then the row below left to right.
constexpr int kScanDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kScanDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};

const cv::Point kNoPoint(-1, -1);

// Neighbour tests only look at pixels two or more away from the top and left edges and
// one or more away from the bottom and right edges.
bool inValidBand(const cv::Mat& w, int row, int col)
{
    return row >= 2 && row <= w.rows - 2 && col >= 2 && col <= w.cols - 2;
}

int countNeighbours(const cv::Mat& w, int row, int col)
{
    if (!inValidBand(w, row, col)) return 0;
    int count = 0;
    for (int k = 0; k < 8; ++k)
        if (w.at<unsigned char>(row + kScanDy[k], col + kScanDx[k]) != kBackground) ++count;
    return count;
}

cv::Point firstNeighbourWithValue(const cv::Mat& w, cv::Point p, unsigned char value)
{
    if (!inValidBand(w, p.y, p.x)) return kNoPoint;
    for (int k = 0; k < 8; ++k) {
        const cv::Point q(p.x + kScanDx[k], p.y + kScanDy[k]);
        if (w.at<unsigned char>(q.y, q.x) == value) return q;
    }
    return kNoPoint;
}

std::vector<cv::Point> neighboursWithValue(const cv::Mat& w, cv::Point p, unsigned char value)
{
    std::vector<cv::Point> found;
    if (!inValidBand(w, p.y, p.x)) return found;
    for (int k = 0; k < 8; ++k) {
        const cv::Point q(p.x + kScanDx[k], p.y + kScanDy[k]);
        if (w.at<unsigned char>(q.y, q.x) == value) found.push_back(q);
    }
    return found;
}

// The first junction, in table order, within one pixel (chessboard) of p.
int nodeNear(const SkeletonGraph& graph, cv::Point p)
{
    for (std::size_t i = 0; i < graph.junctions.size(); ++i) {
        const JunctionNode& node = graph.junctions[i];
        if (std::abs(p.x - node.x) < 2 && std::abs(p.y - node.y) < 2) return static_cast<int>(i);
    }
    return -1;
}

bool contains(const std::vector<int>& ids, int id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Appends every id of from that to lacks; true when something was appended.
bool appendMissing(std::vector<int>& to, const std::vector<int>& from)
{
    bool changed = false;
    for (int id : from)
        if (!contains(to, id)) {
            to.push_back(id);
            changed = true;
        }
    return changed;
}

void appendUnlessPresent(std::vector<int>& ids, int id)
{
    if (!contains(ids, id)) ids.push_back(id);
}

void removeFirst(std::vector<int>& ids, int id)
{
    const auto it = std::find(ids.begin(), ids.end(), id);
    if (it != ids.end()) ids.erase(it);
}

// Junction index by pixel position.
class JunctionIndex {
public:
    JunctionIndex(const SkeletonGraph& graph, int cols) : cols_(cols)
    {
        for (std::size_t i = 0; i < graph.junctions.size(); ++i)
            byPixel_.emplace(key(graph.junctions[i].x, graph.junctions[i].y), static_cast<int>(i));
    }
    int at(cv::Point p) const { return byPixel_.at(key(p.x, p.y)); }

private:
    std::int64_t key(int x, int y) const { return std::int64_t{y} * cols_ + x; }
    int cols_;
    std::unordered_map<std::int64_t, int> byPixel_;
};

void detectJunctions(cv::Mat& w, SkeletonGraph& graph)
{
    for (int row = 1; row <= w.rows - 2; ++row)
        for (int col = 1; col <= w.cols - 2; ++col)
            if (w.at<unsigned char>(row, col) != kBackground
                && countNeighbours(w, row, col) > kMaxChainNeighbours) {
                w.at<unsigned char>(row, col) = kJunction;
                graph.junctions.push_back(JunctionNode{col, row, {}});
            }
}

std::vector<cv::Point> listStartPoints(const cv::Mat& w, const SkeletonGraph& graph)
{
    std::vector<cv::Point> starts;
    for (const JunctionNode& node : graph.junctions)
        for (int k = 0; k < 8; ++k) {
            const cv::Point q(node.x + kScanDx[k], node.y + kScanDy[k]);
            if (w.at<unsigned char>(q.y, q.x) == kUntaken) starts.push_back(q);
        }
    return starts;
}

void traceBranches(cv::Mat& w, const std::vector<cv::Point>& starts, SkeletonGraph& graph)
{
    for (const cv::Point& s : starts) {
        if (w.at<unsigned char>(s.y, s.x) != kUntaken) continue;
        SkeletonBranch branch;
        if (firstNeighbourWithValue(w, s, kUntaken) == kNoPoint) {
            // A lone start pixel keeps its mark, so another junction can list it again.
            branch.points.push_back(s);
        } else {
            cv::Point current = s;
            do {
                w.at<unsigned char>(current.y, current.x) = kTaken;
                branch.points.push_back(current);
                current = firstNeighbourWithValue(w, current, kUntaken);
            } while (current != kNoPoint);
            branch.startNode = nodeNear(graph, branch.points.front());
            branch.endNode = nodeNear(graph, branch.points.back());
        }
        graph.branches.push_back(std::move(branch));
    }
}

void recordIncidence(SkeletonGraph& graph)
{
    for (std::size_t i = 0; i < graph.branches.size(); ++i) {
        SkeletonBranch& branch = graph.branches[i];
        branch.id = static_cast<int>(i);
        if (branch.startNode >= 0) appendUnlessPresent(graph.junctions[branch.startNode].branchIds, branch.id);
        if (branch.endNode >= 0) appendUnlessPresent(graph.junctions[branch.endNode].branchIds, branch.id);
    }
}

// Touching junction pixels act as one junction: their id lists are merged until stable.
void mergeJunctionClusters(const cv::Mat& w, const JunctionIndex& index, SkeletonGraph& graph)
{
    bool changed = true;
    while (changed) {
        changed = false;
        for (JunctionNode& p : graph.junctions)
            for (const cv::Point& q : neighboursWithValue(w, cv::Point(p.x, p.y), kJunction)) {
                JunctionNode& j = graph.junctions[index.at(q)];
                changed |= appendMissing(j.branchIds, p.branchIds);
                changed |= appendMissing(p.branchIds, j.branchIds);
            }
    }
}

// Ends that touch a junction pixel take that junction, overriding the nearness guess.
void completeEnds(const cv::Mat& w, const JunctionIndex& index, SkeletonGraph& graph)
{
    for (SkeletonBranch& branch : graph.branches) {
        if (branch.startNode == -1) {
            const cv::Point n = firstNeighbourWithValue(w, branch.points.front(), kJunction);
            if (n != kNoPoint) {
                branch.startNode = index.at(n);
                graph.junctions[branch.startNode].branchIds.push_back(branch.id);
            }
        } else {
            appendUnlessPresent(graph.junctions[branch.startNode].branchIds, branch.id);
        }
        const cv::Point n = firstNeighbourWithValue(w, branch.points.back(), kJunction);
        if (n != kNoPoint) {
            branch.endNode = index.at(n);
            appendUnlessPresent(graph.junctions[branch.endNode].branchIds, branch.id);
        }
    }
}

void fillNeighbourLists(SkeletonGraph& graph)
{
    for (SkeletonBranch& branch : graph.branches) {
        if (branch.startNode >= 0) branch.startNeighbours = graph.junctions[branch.startNode].branchIds;
        if (branch.endNode >= 0) branch.endNeighbours = graph.junctions[branch.endNode].branchIds;
        removeFirst(branch.endNeighbours, branch.id);
        removeFirst(branch.startNeighbours, branch.id);
    }
}

}  // namespace

void decomposeSkeleton(const cv::Mat& skeleton, SkeletonGraph& graph)
{
    graph.junctions.clear();
    graph.branches.clear();
    if (skeleton.empty()) return;

    cv::Mat w = skeleton.clone();
    cv::threshold(w, w, 0, kUntaken, cv::THRESH_BINARY);

    detectJunctions(w, graph);
    const std::vector<cv::Point> starts = listStartPoints(w, graph);
    traceBranches(w, starts, graph);
    recordIncidence(graph);

    const JunctionIndex index(graph, w.cols);
    mergeJunctionClusters(w, index, graph);
    completeEnds(w, index, graph);
    fillNeighbourLists(graph);
}

void decomposePlantMask(const cv::Mat& mask, SkeletonGraph& graph)
{
    decomposeSkeleton(lutThinning(skeletonFast(mask)), graph);
}

double branchLength(const SkeletonBranch& branch)
{
    constexpr int kSamplesPerBranch = 20;
    constexpr int kMaxSampleStep = 10;
    const int n = static_cast<int>(branch.points.size());
    if (n == 0) return 0;
    const int step = std::clamp(n / kSamplesPerBranch, 1, kMaxSampleStep);
    double sum = 0;
    for (int i = 0; i + step < n; i += step) {
        const double dx = branch.points[i + step].x - branch.points[i].x;
        const double dy = branch.points[i + step].y - branch.points[i].y;
        sum += std::sqrt(dx * dx + dy * dy);
    }
    return sum;
}
