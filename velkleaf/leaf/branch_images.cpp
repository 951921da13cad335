// The graph drawn back into rasters, pixel by pixel; later writes win.
#include "leaf/branch_images.h"

#include "skeleton/skeleton.h"

#include <algorithm>

namespace {

constexpr unsigned char kOn = 255;
constexpr std::size_t kMinStemMaskPoints = 21;
const cv::Vec3b kStemColour(20, 255, 255);
const cv::Vec3b kLeafColour(20, 255, 20);
const cv::Vec3b kJunctionColour(0, 0, 255);

// A junction where more than one kept branch meets.
bool isJoining(const JunctionNode& node, const SkeletonGraph& graph)
{
    const auto kept = std::count_if(node.branchIds.begin(), node.branchIds.end(),
                                    [&](int id) { return graph.branches[id].kept; });
    return kept > 1;
}

template <typename Pixel>
void paintBranch(const SkeletonBranch& branch, cv::Mat& image, const Pixel& value)
{
    for (const cv::Point& p : branch.points) image.at<Pixel>(p.y, p.x) = value;
}

}  // namespace

cv::Mat drawBranchMask(int rows, int cols, const SkeletonGraph& graph)
{
    cv::Mat m = cv::Mat::zeros(rows, cols, CV_8UC1);
    for (const SkeletonBranch& b : graph.branches)
        if (b.kept) paintBranch(b, m, kOn);
    for (const JunctionNode& node : graph.junctions)
        if (isJoining(node, graph)) m.at<unsigned char>(node.y, node.x) = kOn;
    return lutThinning(m);
}

cv::Mat drawStemMask(int rows, int cols, const SkeletonGraph& graph)
{
    cv::Mat m = cv::Mat::zeros(rows, cols, CV_8UC1);
    for (const SkeletonBranch& b : graph.branches)
        if (b.kept && b.role == kRoleStem && b.points.size() >= kMinStemMaskPoints) paintBranch(b, m, kOn);
    return lutThinning(m);
}

cv::Mat drawBranchOverview(int rows, int cols, const SkeletonGraph& graph)
{
    cv::Mat v = cv::Mat::zeros(rows, cols, CV_8UC3);
    for (const SkeletonBranch& b : graph.branches)
        if (b.kept) paintBranch(b, v, b.role == kRoleStem ? kStemColour : kLeafColour);
    for (const JunctionNode& node : graph.junctions)
        if (isJoining(node, graph)) v.at<cv::Vec3b>(node.y, node.x) = kJunctionColour;
    return v;
}
