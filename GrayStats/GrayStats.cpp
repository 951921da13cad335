// Gray-level histogram statistics: one pass over the pixels, two over the bins.
#include "GrayStats.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// An 8-bit pixel reaches no level above 255, so bins beyond these stay empty and add
// exact zeros to every sum; leaving them out changes no result and bounds the memory.
constexpr int kByteLevels = 256;
constexpr int kStatisticCount = 6;

// Bin i counts the pixels of level firstLevel + i.
struct Histogram {
    int firstLevel = 0;
    std::vector<double> counts;
    double pixelsCounted = 0.0;  // N
};

// Counts the pixels of levels firstLevel .. bins - 1; other pixels are skipped.
Histogram countLevels(const unsigned char* image, std::size_t pixelCount, int firstLevel, int bins)
{
    Histogram histogram;
    histogram.firstLevel = firstLevel;
    const int lastLevel = std::min(bins, kByteLevels) - 1;
    histogram.counts.assign(static_cast<std::size_t>(std::max(lastLevel - firstLevel + 1, 0)), 0.0);

    std::int64_t counted = 0;
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const int level = image[i];
        if (level < firstLevel || level > lastLevel) continue;
        histogram.counts[static_cast<std::size_t>(level - firstLevel)] += 1.0;
        ++counted;
    }
    histogram.pixelsCounted = static_cast<double>(counted);
    return histogram;
}

// Mean, standard deviation, smoothness, third moment, uniformity, entropy; all zero for
// an empty histogram, where every probability would be 0 / 0.
void histogramStatistics(const Histogram& histogram, double* result)
{
    std::fill(result, result + kStatisticCount, 0.0);
    if (histogram.pixelsCounted == 0.0) return;

    const std::size_t binCount = histogram.counts.size();
    std::vector<double> probabilities(binCount, 0.0);
    double mean = 0.0;
    for (std::size_t i = 0; i < binCount; ++i) {
        const double level = histogram.firstLevel + static_cast<int>(i);
        probabilities[i] = histogram.counts[i] / histogram.pixelsCounted;
        mean += level * probabilities[i];
    }

    const double ln2 = std::log(2.0);
    double variance = 0.0;
    double thirdMoment = 0.0;
    double uniformity = 0.0;
    double negativeEntropy = 0.0;
    for (std::size_t i = 0; i < binCount; ++i) {
        const double p = probabilities[i];
        const double d = histogram.firstLevel + static_cast<int>(i) - mean;
        variance += d * d * p;
        thirdMoment += d * d * d * p;
        uniformity += p * p;
        if (p != 0.0) negativeEntropy += p * std::log(p) / ln2;
    }

    const double deviation = std::sqrt(variance);
    result[0] = mean;
    result[1] = deviation;
    result[2] = 1.0 - 1.0 / (1.0 + deviation * deviation);
    result[3] = thirdMoment;
    result[4] = uniformity;
    result[5] = -negativeEntropy;
}

// Pixels a call may read: none unless the image exists and both counts are positive.
std::size_t readablePixels(const unsigned char* image, int count1, int count2)
{
    if (!image || count1 <= 0 || count2 <= 0) return 0;
    return static_cast<std::size_t>(static_cast<std::int64_t>(count1) * count2);
}

void describeLevels(const unsigned char* image, int count1, int count2, int firstLevel, int bins, double* result)
{
    if (!result) return;
    histogramStatistics(countLevels(image, readablePixels(image, count1, count2), firstLevel, bins), result);
}

}  // namespace

extern "C" void GrayStats(const unsigned char* image, int count1, int count2, int bins, double* result)
{
    describeLevels(image, count1, count2, 0, bins, result);
}

// Level 0 is background here: bins start at level 1.
extern "C" void GrayStats2(const unsigned char* image, int count1, int count2, int bins, double* result)
{
    describeLevels(image, count1, count2, 1, bins, result);
}
