// The leaf path search: paths grow greedily, cheapest first, until one reaches the stem.
#include "graph/leaf_path.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Rings searched around the seed: this fraction of the shorter image side.
constexpr int kSnapRadiusDivisor = 4;
constexpr int kSamplesPerLeaf = 20;
constexpr int kMinSampleStep = 3;
// Dilations of the stem image: a path is cut within this chessboard distance of the stem.
constexpr int kStemCutDistance = 5;

// The search state of one call: the tables plus each branch's length, computed once.
class LeafSearch {
public:
    explicit LeafSearch(SkeletonGraph& graph) : branches_(graph.branches), junctions_(graph.junctions)
    {
        lengths_.reserve(branches_.size());
        for (SkeletonBranch& b : branches_) {
            b.visited = false;
            b.exhausted = false;
            lengths_.push_back(branchLength(b));
        }
    }

    void seedAt(cv::Point s);
    void run();
    std::vector<cv::Point> winningPoints() const;

private:
    static int entryDirection(const SkeletonBranch& branch, cv::Point p);
    bool isExhausted(int id);
    double cheapestContinuation(int id) const;
    double pathCost(const LeafPath& path) const;
    bool reachesStem(const LeafPath& path) const;
    bool allActiveExhausted();
    bool growOnce();
    void extend(std::size_t chosen);
    void markEntered(int id, int direction);

    template <typename Visit>
    void forEachOnward(const SkeletonBranch& b, Visit visit) const
    {
        if (b.direction == kLastToFirst || b.direction == kBothWays)
            for (int id : b.startNeighbours) visit(id);
        if (b.direction == kFirstToLast || b.direction == kBothWays)
            for (int id : b.endNeighbours) visit(id);
    }

    std::vector<SkeletonBranch>& branches_;
    const std::vector<JunctionNode>& junctions_;
    std::vector<double> lengths_;
    std::vector<LeafPath> paths_;
};

int LeafSearch::entryDirection(const SkeletonBranch& branch, cv::Point p)
{
    const cv::Point first = branch.points.front();
    const cv::Point last = branch.points.back();
    const int toFirst = std::abs(p.x - first.x) + std::abs(p.y - first.y);
    const int toLast = std::abs(p.x - last.x) + std::abs(p.y - last.y);
    return toFirst >= toLast ? kLastToFirst : kFirstToLast;
}

void LeafSearch::markEntered(int id, int direction)
{
    branches_[id].direction = direction;
    branches_[id].visited = true;
}

bool LeafSearch::isExhausted(int id)
{
    SkeletonBranch& b = branches_[id];
    if (b.exhausted) return true;
    bool open = false;
    forEachOnward(b, [&](int n) { open = open || !branches_[n].visited; });
    if (open) return false;
    b.exhausted = true;
    return true;
}

double LeafSearch::cheapestContinuation(int id) const
{
    double best = kInfinity;
    forEachOnward(branches_[id], [&](int n) {
        if (!branches_[n].visited) best = std::min(best, lengths_[n]);
    });
    return best;
}

double LeafSearch::pathCost(const LeafPath& path) const
{
    double cheapest = kInfinity;
    for (int id : path.branchIds) cheapest = std::min(cheapest, cheapestContinuation(id));
    return path.length + cheapest;
}

bool LeafSearch::reachesStem(const LeafPath& path) const
{
    return std::any_of(path.branchIds.begin(), path.branchIds.end(),
                       [&](int id) { return branches_[id].role == kRoleStem; });
}

void LeafSearch::seedAt(cv::Point s)
{
    for (const JunctionNode& node : junctions_) {
        if (node.x != s.x || node.y != s.y) continue;
        for (int id : node.branchIds) {
            if (branches_[id].visited) continue;
            markEntered(id, entryDirection(branches_[id], s));
            paths_.push_back(LeafPath{{id}, 0, true});
        }
        if (!paths_.empty()) return;
        break;
    }
    for (SkeletonBranch& b : branches_) {
        if (b.visited || std::find(b.points.begin(), b.points.end(), s) == b.points.end()) continue;
        markEntered(b.id, kBothWays);
        paths_.push_back(LeafPath{{b.id}, 0, true});
        return;
    }
}

bool LeafSearch::allActiveExhausted()
{
    for (const LeafPath& path : paths_)
        if (path.active && !isExhausted(path.branchIds.back())) return false;
    return true;
}

void LeafSearch::run()
{
    if (allActiveExhausted()) return;
    while (growOnce())
        if (allActiveExhausted()) return;
}

// One growth step; false once some path has reached the stem.
bool LeafSearch::growOnce()
{
    if (std::any_of(paths_.begin(), paths_.end(), [&](const LeafPath& p) { return reachesStem(p); }))
        return false;

    std::size_t chosen = paths_.size();
    double best = kInfinity;
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        LeafPath& path = paths_[i];
        if (!path.active) continue;
        if (isExhausted(path.branchIds.back())) {
            path.active = false;
            continue;
        }
        const double cost = pathCost(path);
        if (chosen == paths_.size() || cost < best) {
            chosen = i;
            best = cost;
        }
    }
    if (chosen < paths_.size()) extend(chosen);
    return true;
}

void LeafSearch::extend(std::size_t chosen)
{
    const int lastId = paths_[chosen].branchIds.back();
    if (isExhausted(lastId)) return;
    const SkeletonBranch& last = branches_[lastId];

    int candidate = -1;
    bool atEnd = false;
    double best = kInfinity;
    const auto consider = [&](const std::vector<int>& ids, bool endSide) {
        for (int id : ids)
            if (!branches_[id].visited && lengths_[id] < best) {
                candidate = id;
                atEnd = endSide;
                best = lengths_[id];
            }
    };
    if (last.direction == kLastToFirst || last.direction == kBothWays) consider(last.startNeighbours, false);
    if (last.direction == kFirstToLast || last.direction == kBothWays) consider(last.endNeighbours, true);
    if (candidate < 0) return;

    const cv::Point joint = atEnd ? last.points.back() : last.points.front();
    markEntered(candidate, entryDirection(branches_[candidate], joint));

    // A path whose last branch has other open continuations leaves a copy to try them.
    std::optional<LeafPath> fork;
    if (!isExhausted(lastId)) fork = paths_[chosen];
    paths_[chosen].branchIds.push_back(candidate);
    paths_[chosen].length += lengths_[candidate];
    if (fork) paths_.push_back(std::move(*fork));
}

std::vector<cv::Point> LeafSearch::winningPoints() const
{
    const auto winner = std::find_if(paths_.begin(), paths_.end(),
                                     [&](const LeafPath& p) { return reachesStem(p); });
    std::vector<cv::Point> joined;
    if (winner == paths_.end()) return joined;
    for (int id : winner->branchIds) {
        const SkeletonBranch& b = branches_[id];
        if (b.direction == kFirstToLast)
            joined.insert(joined.end(), b.points.begin(), b.points.end());
        else
            joined.insert(joined.end(), b.points.rbegin(), b.points.rend());
    }
    return joined;
}

bool isForeground(const cv::Mat& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.cols && y < image.rows && image.at<unsigned char>(y, x) != 0;
}

}  // namespace

cv::Point nearestForegroundPixel(const cv::Mat& image, cv::Point p)
{
    const int rings = std::min(image.rows, image.cols) / kSnapRadiusDivisor;
    for (int k = 0; k < rings; ++k) {
        for (int x = p.x - k; x <= p.x + k; ++x)
            if (isForeground(image, x, p.y - k)) return cv::Point(x, p.y - k);
        for (int x = p.x - k; x <= p.x + k; ++x)
            if (isForeground(image, x, p.y + k)) return cv::Point(x, p.y + k);
        for (int y = p.y - k; y <= p.y + k; ++y)
            if (isForeground(image, p.x - k, y)) return cv::Point(p.x - k, y);
        for (int y = p.y - k; y <= p.y + k; ++y)
            if (isForeground(image, p.x + k, y)) return cv::Point(p.x + k, y);
    }
    return cv::Point(0, 0);
}

std::vector<cv::Point> sampleLeafPoints(const std::vector<cv::Point>& joined)
{
    const int n = static_cast<int>(joined.size());
    std::vector<cv::Point> sampled;
    if (n < 2) return sampled;
    const int step = std::max(n / kSamplesPerLeaf, kMinSampleStep);
    for (int i = 0; i < n; i += step) sampled.push_back(joined[i]);
    sampled.push_back(joined[n - 2]);
    sampled.push_back(joined[n - 1]);
    return sampled;
}

std::vector<cv::Point> cutAtStem(std::vector<cv::Point> points, const cv::Mat& stemMask)
{
    if (points.empty()) return points;
    cv::Mat near = stemMask.clone();
    for (int i = 0; i < kStemCutDistance; ++i) cv::dilate(near, near, cv::Mat());
    const auto atStem = std::find_if(points.begin(), points.end(), [&](const cv::Point& p) {
        return near.at<unsigned char>(p.y, p.x) != 0;
    });
    if (atStem != points.end()) points.erase(atStem + 1, points.end());
    return points;
}

std::vector<cv::Point> traceLeafPath(const LeafSearchImages& images, cv::Point seed, SkeletonGraph& graph)
{
    LeafSearch search(graph);
    search.seedAt(nearestForegroundPixel(images.branchMask, seed));
    search.run();
    return cutAtStem(sampleLeafPoints(search.winningPoints()), images.stemMask);
}
