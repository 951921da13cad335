// PlantEnvelope on real side-view maize masks, each figure beside its anchors timed in the
// same run on the same mask: OpenCV's outer contour finding alone, one convex hull of the
// joined contour points alone, and all contours drawn in one call. The export runs the first
// two, a second hull, the hull outline in both images and the contours one by one.
#include "PlantEnvelope.h"
#include "bench_inputs.h"

#include <benchmark/benchmark.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <string>
#include <vector>

namespace {

using PointList = std::vector<cv::Point>;

struct RealMask {
    const char* label;
    const char* path;  // below the data folder
};

// Masks of INRAE Phenoarch plants (openalea/phenomenal, CeCILL-C), all 2048 x 2448,
// from a seedling of 1,624 plant pixels to a tall plant of 234,520.
const RealMask kRealMasks[] = {
    {"seedling_plant3_0", "openalea-phenomenal/plants/plant_3/0.png"},
    {"young_plant4_90", "openalea-phenomenal/plants/plant_4/90.png"},
    {"spread_leaf_extension_90", "openalea-phenomenal/leaf_extension/90.png"},
    {"tall_plant2_180", "openalea-phenomenal/plants/plant_2/180.png"},
};

std::vector<PointList> outerContours(const cv::Mat& mask)
{
    std::vector<PointList> contours;
    cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
    return contours;
}

PointList joined(const std::vector<PointList>& contours)
{
    PointList points;
    for (const PointList& contour : contours) points.insert(points.end(), contour.begin(), contour.end());
    return points;
}

void reportMask(benchmark::State& state, const cv::Mat& mask)
{
    state.counters["pixels/s"] = benchmark::Counter(static_cast<double>(mask.total()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

void envelope(benchmark::State& state, const cv::Mat& mask)
{
    // The export draws on top of the buffers, so reusing them keeps every iteration alike.
    cv::Mat bw = cv::Mat::zeros(mask.size(), CV_8UC1);
    cv::Mat rgb = cv::Mat::zeros(mask.size(), CV_8UC4);
    double area = 0;
    for (auto _ : state) {
        area = PlantEnvelope(mask.ptr(), mask.cols, mask.rows, bw.ptr(), rgb.ptr());
        benchmark::DoNotOptimize(area);
    }
    reportMask(state, mask);
    state.counters["hull_area"] = area;
}

void anchorFindContours(benchmark::State& state, const cv::Mat& mask)
{
    for (auto _ : state) {
        std::vector<PointList> contours = outerContours(mask);
        benchmark::DoNotOptimize(contours.data());
    }
    reportMask(state, mask);
}

void anchorConvexHull(benchmark::State& state, const cv::Mat& mask)
{
    const PointList points = joined(outerContours(mask));
    for (auto _ : state) {
        PointList hull;
        cv::convexHull(points, hull);
        benchmark::DoNotOptimize(hull.data());
    }
    state.counters["contour_points"] = static_cast<double>(points.size());
}

void anchorDrawContours(benchmark::State& state, const cv::Mat& mask)
{
    const std::vector<PointList> contours = outerContours(mask);
    cv::Mat rgb = cv::Mat::zeros(mask.size(), CV_8UC4);
    for (auto _ : state) {
        cv::drawContours(rgb, contours, -1, cv::Scalar(0, 0, 255, 0), 1, cv::LINE_8);
        benchmark::DoNotOptimize(rgb.data);
    }
    state.counters["contours"] = static_cast<double>(contours.size());
}

using MaskBenchmark = void (*)(benchmark::State&, const cv::Mat&);

// Each mask is read once; its benchmarks are registered together so that the
// report lists the export's figure right above its anchors.
void registerMask(const RealMask& realMask)
{
    const std::string path = benchDataPath(realMask.path);
    const cv::Mat mask = cv::imread(path, cv::IMREAD_GRAYSCALE);
    const struct {
        const char* name;
        MaskBenchmark run;
    } kinds[] = {
        {"PlantEnvelope", envelope},
        {"anchor_findContours", anchorFindContours},
        {"anchor_convexHull", anchorConvexHull},
        {"anchor_drawContours", anchorDrawContours},
    };
    for (const auto& kind : kinds) {
        const std::string name = std::string(kind.name) + "/" + realMask.label;
        const MaskBenchmark run = kind.run;
        benchmark::RegisterBenchmark(name.c_str(), [mask, path, run](benchmark::State& state) {
            if (mask.empty()) {
                state.SkipWithError(("cannot read " + path).c_str());
                return;
            }
            run(state, mask);
        })->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    for (const RealMask& realMask : kRealMasks) registerMask(realMask);
    return runBenchmarks(argc, argv);
}
