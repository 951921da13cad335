// Blobspread on the bundled real masks painted as colour images (plant leaf green, background
// gray), grown from the plant's lowest pixel, beside OpenCV labelling the 8-connected regions
// of the same mask.
#include "Blobspread.h"
#include "bench_inputs.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr unsigned char kRegion = 1;  // the mask's other pixels are 0: candidates
// Bits 8-15 green, the other two bytes red and blue: excess green 320 on the plant, 0 around it.
constexpr std::uint32_t kLeafGreen = 0x28C828;
constexpr std::uint32_t kBackgroundGray = 0x808080;

std::vector<std::uint32_t> paintedWords(const cv::Mat& mask)
{
    std::vector<std::uint32_t> words(mask.total());
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = mask.data[i] ? kLeafGreen : kBackgroundGray;
    return words;
}

// The first plant pixel of the lowest plant row: the stem base. The plant pixels come in
// scan order.
cv::Mat seedAtStemBase(const cv::Mat& mask)
{
    cv::Mat seed = cv::Mat::zeros(mask.size(), CV_8UC1);
    std::vector<cv::Point> plant;
    cv::findNonZero(mask, plant);
    if (plant.empty()) return seed;
    const int lowestRow = plant.back().y;
    seed.at<unsigned char>(*std::find_if(plant.begin(), plant.end(),
                                         [lowestRow](const cv::Point& p) { return p.y == lowestRow; })) = kRegion;
    return seed;
}

void grow(benchmark::State& state, const cv::Mat& mask)
{
    const std::vector<std::uint32_t> words = paintedWords(mask);
    cv::Mat grown;
    timeOnFreshCopy(state, seedAtStemBase(mask), [&](cv::Mat& region) {
        Blobspread(words.data(), region.ptr(), static_cast<unsigned>(region.cols), static_cast<unsigned>(region.rows));
        grown = region;
    });
    state.counters["region_pixels"] = cv::countNonZero(grown);
    state.counters["plant_pixels"] = cv::countNonZero(mask);
}

}  // namespace

int main(int argc, char** argv)
{
    registerAll(sampleMasks(), {
                                   {"Blobspread", grow},
                                   {"anchor_connectedComponents", anchorConnectedComponents},
                               });
    return runBenchmarks(argc, argv);
}
