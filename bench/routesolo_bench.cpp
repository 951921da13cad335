// Wayfind_Single over the whole width of velkleaf's skeletons of the bundled real masks,
// marked by FreeEndDetect, beside OpenCV's labelling of the same skeleton's 8-connected
// pieces.
#include "routesolo.h"
#include "bench_skeleton.h"

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

constexpr int kFirstFramedColumn = 1;

void measureBranches(benchmark::State& state, const cv::Mat& marked)
{
    // One entry per tip in the band, which is the whole image.
    const auto tips = static_cast<std::size_t>(cv::countNonZero(marked == 1));
    std::vector<float> lengths(tips), distances(tips), straightness(tips);
    std::vector<double> referenceAngles(tips), endAngles(tips);
    int branchCount = 0;
    timeOnFreshCopy(state, marked, [&](cv::Mat& work) {
        float meanLength = 0, meanDistance = 0, meanStraightness = 0, bestScore = 0, totalLength = 0;
        double meanReferenceAngle = 0, meanEndAngle = 0;
        Wayfind_Single(work.ptr(), work.cols, work.rows, kFirstFramedColumn, work.cols, lengths.data(),
                       distances.data(), referenceAngles.data(), endAngles.data(), straightness.data(), &meanLength,
                       &meanDistance, &meanStraightness, &meanReferenceAngle, &meanEndAngle, &bestScore,
                       &totalLength, &branchCount);
    });
    state.counters["branches"] = branchCount;
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(skeletonsOf(sampleMasks(), true), {
                                                      {"Wayfind_Single", measureBranches},
                                                      {"anchor_connectedComponents", anchorConnectedComponents},
                                                  });
    return runBenchmarks(argc, argv);
}
