// Short free side branches are noise of the thinning; long free ends are leaf tips.
#include "leaf/pruning.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr std::size_t kReferenceBranches = 10;
constexpr double kMinTipBranchLength = 30;

}  // namespace

void pruneShortBranches(double fraction, SkeletonGraph& graph)
{
    std::vector<double> lengths;
    for (const SkeletonBranch& b : graph.branches)
        if (b.kept) lengths.push_back(branchLength(b));
    if (lengths.empty()) return;
    std::sort(lengths.begin(), lengths.end());
    const std::size_t k = std::min(kReferenceBranches, lengths.size());
    const double longest = std::accumulate(lengths.end() - static_cast<std::ptrdiff_t>(k), lengths.end(), 0.0);
    const double reference = fraction * longest / static_cast<double>(k);

    for (SkeletonBranch& b : graph.branches)
        if (b.kept && b.role != kRoleStem && b.isFree() && branchLength(b) < reference) b.kept = false;
}

std::vector<cv::Point> collectTipCandidates(const SkeletonGraph& graph)
{
    std::vector<cv::Point> candidates;
    for (const SkeletonBranch& b : graph.branches)
        if (b.kept && b.isFree() && b.role != kRoleStem && branchLength(b) > kMinTipBranchLength)
            candidates.push_back(b.startNode == -1 ? b.points.front() : b.points.back());
    return candidates;
}
