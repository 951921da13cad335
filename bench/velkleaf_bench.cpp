// velkleaf on the bundled real masks (2448 x 2048: the large-image path, thinned at reduced
// size), on the same masks at a third of their size (under 1,000,000 pixels: the small path,
// thinned at full size) and, when the tools are built, on synthetic plants of both sizes.
// Anchors on the same mask: OpenCV's distance transform and one threshold pass (OpenCV's
// core and imgproc have no thinning) and the labelling of its regions.
#include "velkleaf.h"
#include "bench_inputs.h"

#ifdef LEAFKIT_BENCH_SYNTHETIC
#include "synthetic_plant.h"
#endif

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

constexpr double kSmallPathScale = 1.0 / 3.0;  // 2448 x 2048 becomes 816 x 683 = 557,328 pixels
constexpr int kLeafCapacity = 64;              // far above any maize plant
constexpr int kSmallSyntheticRows = 900;       // 720,000 pixels: the small path
constexpr int kSmallSyntheticCols = 800;

BenchInput atSmallPathSize(const BenchInput& input)
{
    BenchInput small{input.label + "_third", cv::Mat(), input.source};
    if (!input.image.empty())
        cv::resize(input.image, small.image, cv::Size(), kSmallPathScale, kSmallPathScale, cv::INTER_NEAREST);
    return small;
}

std::vector<BenchInput> velkleafInputs()
{
    std::vector<BenchInput> inputs;
    for (const BenchInput& sample : sampleMasks()) {
        inputs.push_back(sample);
        inputs.push_back(atSmallPathSize(sample));
    }
#ifdef LEAFKIT_BENCH_SYNTHETIC
    leafkit::SyntheticPlantSpec large;  // the camera's frame
    leafkit::SyntheticPlantSpec small;
    small.rows = kSmallSyntheticRows;
    small.cols = kSmallSyntheticCols;
    inputs.push_back({"synthetic_2448x2048", leafkit::drawSyntheticPlant(large).mask, "synthetic plant"});
    inputs.push_back({"synthetic_900x800", leafkit::drawSyntheticPlant(small).mask, "synthetic plant"});
#endif
    return inputs;
}

void skeleton(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat src = mask.clone();  // the export takes a non-const pointer but only reads it
    cv::Mat dst(mask.size(), CV_8UC1);
    timeCall(state, mask, [&] { skeleton_C_Fast(src.ptr(), src.rows, src.cols, dst.ptr()); });
    state.counters["skeleton_pixels"] = cv::countNonZero(dst);
}

void ridgePoints(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat src = mask.clone();
    cv::Mat dst(mask.size(), CV_8UC1);
    timeCall(state, mask, [&] { getRidgePoint(src.ptr(), src.rows, src.cols, dst.ptr()); });
    state.counters["ridge_points"] = cv::countNonZero(dst);
}

void leafExtraction(benchmark::State& state, const cv::Mat& mask)
{
    int leafCount = 0;
    std::vector<int> tips(2 * kLeafCapacity), bases(2 * kLeafCapacity);
    std::vector<double> baseAngles(kLeafCapacity), chordAngles(kLeafCapacity);
    std::vector<double> leafLengths(kLeafCapacity), chordLengths(kLeafCapacity);
    double stemDiameter = 0;
    cv::Mat red(mask.size(), CV_8UC1), blue(mask.size(), CV_8UC1), green(mask.size(), CV_8UC1);
    timeCall(state, mask, [&] {
        maizeSingleLeafExtraction_autoN(mask.ptr(), mask.rows, mask.cols, &leafCount, tips.data(),
                                        baseAngles.data(), chordAngles.data(), bases.data(), leafLengths.data(),
                                        chordLengths.data(), &stemDiameter, red.ptr(), blue.ptr(), green.ptr(),
                                        false, kLeafCapacity);
    });
    state.counters["leaves"] = leafCount;
}

void anchorDistanceTransform(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat distance;
    timeCall(state, mask, [&] { cv::distanceTransform(mask, distance, cv::DIST_L2, cv::DIST_MASK_3); });
}

void anchorThreshold(benchmark::State& state, const cv::Mat& mask)
{
    cv::Mat binary;
    timeCall(state, mask, [&] { cv::threshold(mask, binary, 0, 255, cv::THRESH_BINARY); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(velkleafInputs(), {
                                      {"skeleton_C_Fast", skeleton},
                                      {"getRidgePoint", ridgePoints},
                                      {"maizeSingleLeafExtraction_autoN", leafExtraction},
                                      {"anchor_distanceTransform", anchorDistanceTransform},
                                      {"anchor_threshold", anchorThreshold},
                                      {"anchor_connectedComponents", anchorConnectedComponents},
                                  });
    return runBenchmarks(argc, argv);
}
