// FreeEndDetect on velkleaf's skeletons of the bundled real masks, beside anchors on the same
// skeleton: one 3x3 neighbourhood sum over the raster (the classification also reads each
// pixel's eight neighbours) and OpenCV's labelling of its 8-connected pieces.
#include "tipscan.h"
#include "bench_skeleton.h"

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

constexpr int kRecordCapacity = 1000;  // the most records of a kind the export writes

void freeEnds(benchmark::State& state, const cv::Mat& skeleton)
{
    std::vector<TipscanPoint> ends(kRecordCapacity), junctions(kRecordCapacity);
    cv::Mat marked;
    timeOnFreshCopy(state, skeleton, [&](cv::Mat& work) {
        FreeEndDetect(work.ptr(), work.cols, work.rows, ends.data(), junctions.data());
        marked = work;
    });
    state.counters["free_ends"] = cv::countNonZero(marked == 1);
    state.counters["junction_pixels"] = cv::countNonZero(marked == 2);
}

void anchorNeighbourSum(benchmark::State& state, const cv::Mat& skeleton)
{
    cv::Mat sums;
    timeCall(state, skeleton, [&] { cv::boxFilter(skeleton, sums, CV_16U, cv::Size(3, 3), cv::Point(-1, -1), false); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(skeletonsOf(sampleMasks(), false), {
                                                       {"FreeEndDetect", freeEnds},
                                                       {"anchor_boxFilter3x3", anchorNeighbourSum},
                                                       {"anchor_connectedComponents", anchorConnectedComponents},
                                                   });
    return runBenchmarks(argc, argv);
}
