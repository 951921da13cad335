// GrayStats and GrayStats2 on the gray levels of a real greenhouse photo and on a bundled
// mask, beside OpenCV's 256-bin histogram and its mean and standard deviation of the same
// image (the exports build the one and derive the other from it).
#include "GrayStats.h"
#include "bench_inputs.h"

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

constexpr int kLevels = 256;
constexpr int kStatistics = 6;

std::vector<BenchInput> grayInputs()
{
    BenchInput photo = plantPhoto();
    if (!photo.image.empty()) cv::cvtColor(photo.image, photo.image, cv::COLOR_BGR2GRAY);
    return {photo, sampleMasks().front()};
}

void allPixels(benchmark::State& state, const cv::Mat& gray)
{
    double result[kStatistics];
    timeCall(state, gray, [&] { GrayStats(gray.ptr(), gray.rows, gray.cols, kLevels, result); });
}

void nonzeroPixels(benchmark::State& state, const cv::Mat& gray)
{
    double result[kStatistics];
    timeCall(state, gray, [&] { GrayStats2(gray.ptr(), gray.rows, gray.cols, kLevels, result); });
}

void anchorHistogram(benchmark::State& state, const cv::Mat& gray)
{
    const int channels[] = {0};
    const int sizes[] = {kLevels};
    const float range[] = {0, kLevels};
    const float* ranges[] = {range};
    cv::Mat histogram;
    timeCall(state, gray, [&] { cv::calcHist(&gray, 1, channels, cv::Mat(), histogram, 1, sizes, ranges); });
}

void anchorMeanStdDev(benchmark::State& state, const cv::Mat& gray)
{
    cv::Scalar mean, deviation;
    timeCall(state, gray, [&] { cv::meanStdDev(gray, mean, deviation); });
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(grayInputs(), {
                                  {"GrayStats", allPixels},
                                  {"GrayStats2", nonzeroPixels},
                                  {"anchor_calcHist", anchorHistogram},
                                  {"anchor_meanStdDev", anchorMeanStdDev},
                              });
    return runBenchmarks(argc, argv);
}
