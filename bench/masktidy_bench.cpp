// masktidy on the bundled real masks, beside OpenCV doing the same kind of pass on the same
// mask: region removal and hole filling against labelling the 8-connected plant regions or
// the 4-connected background regions, thresholding floats against cv::threshold.
#include "masktidy.h"
#include "bench_inputs.h"

#include <opencv2/imgproc.hpp>

namespace {

constexpr int kMaxSpeckArea = 1000;  // pixels; specks and holes of a plant mask are smaller
constexpr float kPlantLevel = 0.5f;  // the float image holds 0 and 1

void removeSpecks(benchmark::State& state, const cv::Mat& mask)
{
    timeOnFreshCopy(state, mask, [](cv::Mat& work) { bwremove(work.ptr(), work.rows, work.cols, kMaxSpeckArea); });
}

void fillHoles(benchmark::State& state, const cv::Mat& mask)
{
    timeOnFreshCopy(state, mask, [](cv::Mat& work) { bwFillHole(work.ptr(), work.rows, work.cols, kMaxSpeckArea); });
}

void binarise(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat levels;
    mask.convertTo(levels, CV_32F, 1.0 / 255);
    cv::Mat binary(mask.size(), CV_8UC1);
    timeCall(state, mask, [&] { imbinary(levels.ptr<float>(), levels.rows, levels.cols, kPlantLevel, binary.ptr()); });
}

void anchorPlantRegions(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat labels, stats, centroids;
    timeCall(state, mask, [&] { cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S); });
}

void anchorBackgroundRegions(benchmark::State& state, const cv::Mat& mask)
{
    const cv::Mat background = mask == 0;
    cv::Mat labels, stats, centroids;
    timeCall(state, mask, [&] { cv::connectedComponentsWithStats(background, labels, stats, centroids, 4, CV_32S); });
}

void anchorThresholdFloat(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat levels, binary;
    mask.convertTo(levels, CV_32F, 1.0 / 255);
    timeCall(state, mask, [&] { cv::threshold(levels, binary, kPlantLevel, 1, cv::THRESH_BINARY); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(sampleMasks(), {
                                   {"bwremove", removeSpecks},
                                   {"anchor_connectedComponentsWithStats8", anchorPlantRegions},
                                   {"bwFillHole", fillHoles},
                                   {"anchor_connectedComponentsWithStats4_background", anchorBackgroundRegions},
                                   {"imbinary", binarise},
                                   {"anchor_threshold_float", anchorThresholdFloat},
                               });
    return runBenchmarks(argc, argv);
}
