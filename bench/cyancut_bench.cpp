// cyancut on the bundled real masks (2448 x 2048, the camera frame its fixed windows are
// made for, so every window is worked in full). The 0/1 mask serves as the three colour
// planes and the second mask, the 0/255 mask as the level image: the cost depends on the
// windows, not on the values. Anchor: one cv::threshold pass over the same mask.
#include "cyancut.h"
#include "bench_inputs.h"

#include <opencv2/imgproc.hpp>

#include <cstdint>

namespace {

constexpr std::uint32_t kLevelThreshold = 128;

cv::Mat zeroOne(const cv::Mat& mask)
{
    cv::Mat binary;
    cv::threshold(mask, binary, 0, 1, cv::THRESH_BINARY);
    return binary;
}

void removeBluePot(benchmark::State& state, const cv::Mat& mask)
{
    const cv::Mat plane = zeroOne(mask);
    timeOnFreshCopy(state, plane, [&](cv::Mat& work) {
        remove_blue_plot(plane.ptr(), plane.ptr(), plane.ptr(), work.rows, work.cols, work.ptr(), plane.ptr(),
                         mask.ptr(), kLevelThreshold);
    });
}

void clearBorder(benchmark::State& state, const cv::Mat& mask)
{
    timeOnFreshCopy(state, zeroOne(mask), [](cv::Mat& work) {
        remove_blue_plot_EG(nullptr, nullptr, nullptr, work.rows, work.cols, work.ptr());
    });
}

void anchorThreshold(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat binary;
    timeCall(state, mask, [&] { cv::threshold(mask, binary, 0, 1, cv::THRESH_BINARY); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(sampleMasks(), {
                                   {"remove_blue_plot", removeBluePot},
                                   {"remove_blue_plot_EG", clearBorder},
                                   {"anchor_threshold", anchorThreshold},
                               });
    return runBenchmarks(argc, argv);
}
