// GrayStats and GrayStats2 on small images whose statistics are worked out by hand.
#include "GrayStats.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace {

using Record = std::array<double, 6>;
using StatsFunction = void (*)(const unsigned char*, int, int, int, double*);

enum Statistic { kMean, kDeviation, kSmoothness, kThirdMoment, kUniformity, kEntropy };

constexpr double kUntouched = -12345.0;

Record run(StatsFunction stats, const std::vector<unsigned char>& image, int count1, int count2, int bins)
{
    Record record;
    record.fill(kUntouched);
    stats(image.empty() ? nullptr : image.data(), count1, count2, bins, record.data());
    return record;
}

Record runRow(StatsFunction stats, const std::vector<unsigned char>& image, int bins = 256)
{
    return run(stats, image, 1, static_cast<int>(image.size()), bins);
}

std::vector<unsigned char> repeated(std::vector<unsigned char> pattern, int times)
{
    std::vector<unsigned char> image;
    for (int i = 0; i < times; ++i) image.insert(image.end(), pattern.begin(), pattern.end());
    return image;
}

void expectRecord(const Record& actual, const Record& expected)
{
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(actual[i], expected[i], 1e-12 * (1.0 + std::fabs(expected[i])));
    }
}

const Record kZeroRecord = {0, 0, 0, 0, 0, 0};

struct StatsCase {
    const char* name;
    StatsFunction stats;
    std::vector<unsigned char> image;
    int bins;
    Record expected;
};

// Smoothness 1 - 1/(1 + s^2) is written out from the variance worked by hand.
const StatsCase kCases[] = {
    {"constant level 100", GrayStats, std::vector<unsigned char>(12, 100), 256, {100, 0, 0, 0, 1, 0}},
    {"half 0 and half 255", GrayStats, repeated({0, 255}, 5), 256,
     {127.5, 127.5, 1 - 1 / (1 + 127.5 * 127.5), 0, 0.5, 1}},
    {"half 0 and half 255 seen without background", GrayStats2, repeated({0, 255}, 5), 256, {255, 0, 0, 0, 1, 0}},
    {"levels 0 to 3 equally often", GrayStats, repeated({3, 1, 0, 2}, 3), 256,
     {1.5, std::sqrt(1.25), 1 - 1 / 2.25, 0, 0.25, 2}},
    // p(0) = 3/4, p(3) = 1/4: m = 0.75, variance 1.6875, third moment 2.53125, skewed right.
    {"three quarters at 0, one at 3", GrayStats, repeated({0, 3, 0, 0}, 2), 256,
     {0.75, std::sqrt(1.6875), 1 - 1 / 2.6875, 2.53125, 0.625, -(0.75 * std::log2(0.75) + 0.25 * std::log2(0.25))}},
    // Levels 1 and 3 at 1/2 each: the mean uses the level, not the bin index.
    {"nonzero levels 1 and 3", GrayStats2, {0, 3, 0, 1, 0, 0}, 4, {2, 1, 0.5, 0, 0.5, 1}},
    {"pixels not below bins are skipped", GrayStats, {3, 1, 0, 2, 200, 4}, 4, {1.5, std::sqrt(1.25), 1 - 1 / 2.25, 0, 0.25, 2}},
    {"nonzero pixels not below bins are skipped", GrayStats2, {9, 3, 0, 1, 4}, 4, {2, 1, 0.5, 0, 0.5, 1}},
};

TEST(GrayStats, WorkedHistograms)
{
    for (const StatsCase& c : kCases) {
        SCOPED_TRACE(c.name);
        expectRecord(runRow(c.stats, c.image, c.bins), c.expected);
    }
}

TEST(GrayStats, OnlyThePixelCountMatters)
{
    const std::vector<unsigned char> image = {7, 7, 9, 200, 0, 31};
    for (StatsFunction stats : {GrayStats, GrayStats2}) {
        const Record row = run(stats, image, 1, 6, 256);
        EXPECT_EQ(run(stats, image, 2, 3, 256), row);
        EXPECT_EQ(run(stats, image, 3, 2, 256), row);
    }
}

TEST(GrayStats, BinsAbove256GiveTheResultOf256)
{
    const std::vector<unsigned char> image = {0, 12, 255, 255, 40, 3, 99, 180};
    for (StatsFunction stats : {GrayStats, GrayStats2}) {
        const Record full = runRow(stats, image, 256);
        EXPECT_EQ(runRow(stats, image, 257), full);
        EXPECT_EQ(runRow(stats, image, 2'147'483'647), full);
    }
}

TEST(GrayStats, NoPixelCountedWritesZeros)
{
    const std::vector<unsigned char> background(9, 0);
    const std::vector<unsigned char> bright = {5, 6, 7};
    expectRecord(run(GrayStats, {}, 3, 3, 256), kZeroRecord);
    expectRecord(run(GrayStats, background, 0, 9, 256), kZeroRecord);
    expectRecord(run(GrayStats, background, 9, 0, 256), kZeroRecord);
    expectRecord(run(GrayStats, background, 3, 3, 0), kZeroRecord);
    expectRecord(run(GrayStats, bright, 1, 3, -4), kZeroRecord);
    expectRecord(run(GrayStats, bright, 1, 3, 5), kZeroRecord);
    expectRecord(run(GrayStats2, background, 3, 3, 256), kZeroRecord);
    expectRecord(run(GrayStats2, bright, 1, 3, 1), kZeroRecord);
    for (double value : run(GrayStats2, background, 3, 3, 256)) EXPECT_TRUE(std::isfinite(value));
}

// (-2) x (-3) is a positive product, but negative counts describe no image.
TEST(GrayStats, NegativeCountsWithPositiveProductReadNothing)
{
    const std::vector<unsigned char> image(6, 50);
    expectRecord(run(GrayStats, image, -2, -3, 256), kZeroRecord);
    expectRecord(run(GrayStats2, image, -2, -3, 256), kZeroRecord);
}

TEST(GrayStats, NullResultIsLeftAlone)
{
    const std::vector<unsigned char> image(4, 50);
    GrayStats(image.data(), 2, 2, 256, nullptr);
    GrayStats2(image.data(), 2, 2, 256, nullptr);
    GrayStats(nullptr, 0, 0, 0, nullptr);
}

TEST(GrayStats, ConstantImageGivesExactMoments)
{
    const Record record = runRow(GrayStats, std::vector<unsigned char>(1000, 100));
    EXPECT_EQ(record[kMean], 100.0);
    EXPECT_EQ(record[kDeviation], 0.0);
    EXPECT_EQ(record[kSmoothness], 0.0);
    EXPECT_EQ(record[kThirdMoment], 0.0);
    EXPECT_EQ(record[kUniformity], 1.0);
    EXPECT_EQ(record[kEntropy], 0.0);
    EXPECT_TRUE(std::signbit(record[kEntropy]));  // the negation of a zero sum is -0
}

// p(2) = 1/3 and p(5) = 2/3 are rounded before they are weighted: 2 * (1/3) + 5 * (2/3) is the
// double just below 4 (4 - 2^-51), where dividing the level sum 12 by N would give exactly 4.
TEST(GrayStats, MeanAddsLevelTimesRoundedProbability)
{
    const double kMeanJustBelowFour = 4.0 - std::ldexp(1.0, -51);
    EXPECT_EQ(runRow(GrayStats, {5, 2, 5})[kMean], kMeanJustBelowFour);
    EXPECT_EQ(runRow(GrayStats2, {0, 5, 2, 0, 5})[kMean], kMeanJustBelowFour);
}

}  // namespace
