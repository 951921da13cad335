// foliagegrade on the bundled real masks, beside OpenCV on the same mask: block means by
// area resizing (CalLeafDens spreads each block's plant share over its plant pixels) and
// one threshold pass over the density image (DensClassify reads each density once).
#include "foliagegrade.h"
#include "bench_inputs.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

constexpr int kBlockSide = 32;
constexpr int kClasses = 6;

cv::Mat densityOf(const cv::Mat& mask)
{
    cv::Mat density = cv::Mat::zeros(mask.size(), CV_32FC1);
    CalLeafDens(mask.ptr(), mask.rows, mask.cols, kBlockSide, density.ptr<float>());
    return density;
}

void leafDensity(benchmark::State& state, const cv::Mat& mask)
{
    // The export adds to the density image, which the caller zeroes first.
    const cv::Mat zeros = cv::Mat::zeros(mask.size(), CV_32FC1);
    timeOnFreshCopy(state, zeros, [&](cv::Mat& density) {
        CalLeafDens(mask.ptr(), mask.rows, mask.cols, kBlockSide, density.ptr<float>());
    });
}

void densityClasses(benchmark::State& state, const cv::Mat& mask)
{
    const cv::Mat density = densityOf(mask);
    float table[kClasses];
    timeCall(state, mask, [&] {
        std::fill(table, table + kClasses, 0.0f);
        DensClassify(density.ptr<float>(), density.rows, density.cols, table);
    });
}

void anchorBlockMeans(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat means;
    const double scale = 1.0 / kBlockSide;
    timeCall(state, mask, [&] { cv::resize(mask, means, cv::Size(), scale, scale, cv::INTER_AREA); });
}

void anchorThresholdDensity(benchmark::State& state, const cv::Mat& mask)
{
    const cv::Mat density = densityOf(mask);
    cv::Mat positive;
    timeCall(state, mask, [&] { cv::threshold(density, positive, 0, 1, cv::THRESH_BINARY); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(sampleMasks(), {
                                   {"CalLeafDens", leafDensity},
                                   {"anchor_resize_area", anchorBlockMeans},
                                   {"DensClassify", densityClasses},
                                   {"anchor_threshold_density", anchorThresholdDensity},
                               });
    return runBenchmarks(argc, argv);
}
