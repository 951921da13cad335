// Inputs and registration shared by the benchmark programs: the three masks bundled in
// data/samples, a real colour photo, and a helper that registers one benchmark per input
// so that the report lists each figure right above the anchors timed on the same input.
#ifndef LEAFKIT_BENCH_INPUTS_H
#define LEAFKIT_BENCH_INPUTS_H

#include "bench_data.h"

#include <benchmark/benchmark.h>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct BenchInput {
    std::string label;
    cv::Mat image;       // empty when it could not be read
    std::string source;  // for the error line
};

using InputBenchmark = std::function<void(benchmark::State&, const cv::Mat&)>;

inline BenchInput readBenchInput(std::string label, const std::string& path, int flags = cv::IMREAD_GRAYSCALE)
{
    return {std::move(label), cv::imread(path, flags), path};
}

// The bundled Phenoarch side-view masks, 2448 x 2048, plant 255.
inline std::vector<BenchInput> sampleMasks()
{
    const std::string dir = LEAFKIT_SAMPLE_DIR;
    return {readBenchInput("plant_4_90", dir + "/phenoarch_plant_4_90.png"),
            readBenchInput("leaf_extension_90", dir + "/phenoarch_leaf_extension_90.png"),
            readBenchInput("plant_6_90", dir + "/phenoarch_plant_6_90.png")};
}

// A greenhouse side-view photo of a maize plant, 1028 x 1227, BGR (huskermiao/MaizeLeafCounting).
inline BenchInput plantPhoto()
{
    return readBenchInput("photo_402-127",
                          benchDataPath("huskermiao-MaizeLeafCounting/images/"
                                        "402-127-N55-WW-1_2019-05-10_09-18-07.937_Vis_SV_108.jpg"),
                          cv::IMREAD_COLOR);
}

inline void registerOn(const BenchInput& input, const std::string& name, InputBenchmark run)
{
    benchmark::RegisterBenchmark((name + "/" + input.label).c_str(), [input, run](benchmark::State& state) {
        if (input.image.empty()) {
            state.SkipWithError(("cannot read " + input.source).c_str());
            return;
        }
        run(state, input.image);
    })->Unit(benchmark::kMicrosecond);
}

// Registers every named benchmark on every input, grouped by input.
inline void registerAll(const std::vector<BenchInput>& inputs,
                        const std::vector<std::pair<const char*, InputBenchmark>>& kinds)
{
    for (const BenchInput& input : inputs)
        for (const auto& kind : kinds) registerOn(input, kind.first, kind.second);
}

inline void reportPixelRate(benchmark::State& state, const cv::Mat& image)
{
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(image.total()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

// For exports that rewrite their buffer in place: each iteration works on a fresh copy of
// input, and only the call is timed.
template <class Call>
void timeOnFreshCopy(benchmark::State& state, const cv::Mat& input, Call call)
{
    cv::Mat work;
    for (auto _ : state) {
        state.PauseTiming();
        input.copyTo(work);
        state.ResumeTiming();
        call(work);
        benchmark::ClobberMemory();
    }
    reportPixelRate(state, input);
}

// Times a call that leaves its input alone.
template <class Call>
void timeCall(benchmark::State& state, const cv::Mat& input, Call call)
{
    for (auto _ : state) {
        call();
        benchmark::ClobberMemory();
    }
    reportPixelRate(state, input);
}

// The anchor of every region flood and skeleton walk: OpenCV's 8-connected labelling of
// the same image.
inline void anchorConnectedComponents(benchmark::State& state, const cv::Mat& image)
{
    cv::Mat labels;
    int regions = 0;
    timeCall(state, image, [&] { regions = cv::connectedComponents(image, labels, 8, CV_32S); });
    state.counters["regions"] = regions - 1;  // without the background
}

inline int runBenchmarks(int argc, char** argv)
{
    // The exports run on one thread; so do the anchors, which keeps the ratios meaningful on a
    // busy machine.
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#endif
