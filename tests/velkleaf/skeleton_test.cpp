// Thinning, the distance mask and the scaled skeleton path.
#include "mask_art.h"
#include "skeleton/skeleton.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

struct ArtCase {
    const char* name;
    std::vector<std::string> in, out;
};

const ArtCase kThinningCases[] = {
    {"band three thick keeps six pixels of its middle row",
     {"...........", ".#########.", ".#########.", ".#########.", "..........."},
     {"...........", "...........", "...######..", "...........", "..........."}},
    {"band five thick keeps four pixels of its middle row",
     {"...........", ".#########.", ".#########.", ".#########.", ".#########.", ".#########.", "..........."},
     {"...........", "...........", "...........", "....####...", "...........", "...........", "..........."}},
    {"isolated pixel is too shallow for the distance mask",
     {".....", "..#..", "....."},
     {".....", ".....", "....."}},
    {"line one pixel wide leaves nothing",
     {".........", ".#######.", "........."},
     {".........", ".........", "........."}},
    {"line two pixels wide leaves nothing",
     {".........", ".#######.", ".#######.", "........."},
     {".........", ".........", ".........", "........."}},
    {"two rows are never thinned, only masked by depth",
     {"..####..", "..####.."},
     {"...##...", "...##..."}},
    // Only east-facing pixels could go, and only the second sub-iteration takes those:
    // the first marks nothing, so thinning stops before the second runs.
    {"shape on the border keeps its outermost column, and thinning stops at once",
     {"###....", "###....", "###....", "###....", "###...."},
     {"##.....", "##.....", "##.....", "##.....", "##....."}},
    // With the middle row at 128 the north-east and south-east neighbours of the outer
    // rows are background in the first sub-iteration, so the band thins differently
    // from a uniform one, and the survivors keep their value.
    {"values below 255 are background to P3 and P5 in the first sub-iteration",
     {"...........", ".#########.", ".ooooooooo.", ".#########.", "..........."},
     {"...........", "...........", "..o...o....", "...........", "..........."}},
};

TEST(SkeletonThinning, WorkedShapes)
{
    for (const ArtCase& c : kThinningCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(renderMask(skeletonThinning(parseMask(c.in))), c.out);
    }
}

// The procedure written out plainly, as the reference for the thinning: each sub-iteration
// marks on the image as it stood, then deletes; the first that marks nothing ends it.
cv::Mat plainThinning(const cv::Mat& src)
{
    cv::Mat w = src.clone();
    for (int subIteration = 1;; subIteration = 3 - subIteration) {
        std::vector<std::pair<int, int>> marked;
        for (int r = 1; r <= w.rows - 2; ++r)
            for (int c = 1; c <= w.cols - 2; ++c) {
                const auto bit = [&](int dr, int dc) {
                    const uchar v = w.at<uchar>(r + dr, c + dc);
                    const bool eastDiagonal = dc == 1 && dr != 0;
                    return subIteration == 1 && eastDiagonal ? v == 255 : v != 0;
                };
                const int p[9] = {bit(-1, 0), bit(-1, 1), bit(0, 1), bit(1, 1), bit(1, 0),
                                  bit(1, -1), bit(0, -1), bit(-1, -1), bit(-1, 0)};  // P2..P9, P2
                int b = 0, a = 0;
                for (int i = 0; i < 8; ++i) {
                    b += p[i];
                    a += p[i] == 0 && p[i + 1] == 1;
                }
                const int p2 = p[0], p4 = p[2], p6 = p[4], p8 = p[6];
                const bool sides = subIteration == 1 ? p2 * p6 * p8 == 0 && p4 * p6 * p8 == 0
                                                     : p2 * p4 * p6 == 0 && p2 * p4 * p8 == 0;
                if (w.at<uchar>(r, c) != 0 && b >= 2 && b <= 6 && a == 1 && sides) marked.emplace_back(r, c);
            }
        if (marked.empty()) break;
        for (const auto& m : marked) w.at<uchar>(m.first, m.second) = 0;
    }
    const cv::Mat distance = distanceMap(src);
    for (int r = 0; r < w.rows; ++r)
        for (int c = 0; c < w.cols; ++c)
            if (std::nearbyint(distance.at<float>(r, c)) < 2) w.at<uchar>(r, c) = 0;
    return w;
}

// Seeded blobs of 255, some with 128 inside, so that notches, holes, pixels with seven
// foreground neighbours and the P3/P5 rule all occur.
TEST(SkeletonThinning, AgreesWithThePlainProcedureOnRandomMasks)
{
    std::mt19937 random(20261211);
    for (int trial = 0; trial < 300; ++trial) {
        const int rows = static_cast<int>(8 + random() % 30);
        const int cols = static_cast<int>(8 + random() % 30);
        cv::Mat mask(rows, cols, CV_8UC1);
        const unsigned density = random() % 100;
        for (int r = 0; r < mask.rows; ++r)
            for (int c = 0; c < mask.cols; ++c) mask.at<uchar>(r, c) = random() % 100 < density ? 255 : 0;
        if (trial % 2 == 0) cv::dilate(mask, mask, cv::Mat());
        if (trial % 3 == 0)
            for (int r = 0; r < mask.rows; ++r)
                for (int c = 0; c < mask.cols; ++c)
                    if (mask.at<uchar>(r, c) != 0 && random() % 4 == 0) mask.at<uchar>(r, c) = 128;
        SCOPED_TRACE("trial " + std::to_string(trial));
        ASSERT_EQ(cv::countNonZero(skeletonThinning(mask) != plainThinning(mask)), 0);
    }
}

TEST(SkeletonThinning, LeavesInputUnchangedAndReturnsFreshMemory)
{
    const cv::Mat src = bandMask(9, 20, 1, 7, 1, 18);
    const cv::Mat before = src.clone();
    const cv::Mat skeleton = skeletonThinning(src);
    EXPECT_EQ(cv::countNonZero(src != before), 0);
    EXPECT_NE(skeleton.data, src.data);
    EXPECT_EQ(cv::countNonZero(skeletonThinning(src) != skeleton), 0);
}

TEST(SkeletonThinning, EmptyOrMultiChannelGivesEmpty)
{
    EXPECT_TRUE(skeletonThinning(cv::Mat()).empty());
    EXPECT_TRUE(skeletonThinning(cv::Mat(5, 5, CV_8UC3, cv::Scalar::all(255))).empty());
    EXPECT_TRUE(distanceMap(cv::Mat()).empty());
    EXPECT_TRUE(distanceMap(cv::Mat(5, 5, CV_8UC3, cv::Scalar::all(255))).empty());
}

TEST(DistanceMap, UsesTheThreeByThreeEuclideanMask)
{
    // One axial step of the 3 x 3 mask costs 0.955, one diagonal step 1.3693; pixels
    // outside the image are not background.
    const cv::Mat row = distanceMap(parseMask({"...####..."}));
    ASSERT_EQ(row.type(), CV_32FC1);
    const float expectedRow[] = {0, 0, 0, 0.955f, 1.91f, 1.91f, 0.955f, 0, 0, 0};
    for (int c = 0; c < 10; ++c) EXPECT_NEAR(row.at<float>(0, c), expectedRow[c], 1e-3) << "column " << c;

    const cv::Mat corner = distanceMap(parseMask({".##", "###", "###"}));
    EXPECT_NEAR(corner.at<float>(1, 1), 1.3693f, 1e-3);
    EXPECT_NEAR(corner.at<float>(2, 2), 2.7386f, 1e-3);
}

TEST(NonzeroMask, AnyNonzeroChannelGives255)
{
    cv::Mat image(1, 4, CV_8UC3);
    image.at<cv::Vec3b>(0, 0) = {0, 0, 0};
    image.at<cv::Vec3b>(0, 1) = {0, 5, 0};
    image.at<cv::Vec3b>(0, 2) = {200, 200, 200};
    image.at<cv::Vec3b>(0, 3) = {0, 0, 1};
    const cv::Mat mask = nonzeroMask(image);
    ASSERT_EQ(mask.type(), CV_8UC1);
    EXPECT_EQ(renderMask(mask), std::vector<std::string>{".###"});
    EXPECT_TRUE(nonzeroMask(cv::Mat()).empty());
}

TEST(MaskedCopy, KeepsImageValuesWhereTheMaskIsNonzero)
{
    cv::Mat image = parseMask({"#o#o"});
    maskedCopy(image, image, parseMask({"..#o"}));
    EXPECT_EQ(renderMask(image), std::vector<std::string>{"..#o"});

    cv::Mat dst;
    const cv::Mat source = parseMask({"#o#o"});
    maskedCopy(dst, source, parseMask({"##", "##"}));
    EXPECT_EQ(renderMask(dst), std::vector<std::string>{"#o#o"}) << "a mask of another size keeps the whole image";
    EXPECT_NE(dst.data, source.data);
}

TEST(SkeletonFast, SmallMaskIsPlainThinning)
{
    const cv::Mat mask = bandMask(30, 40, 5, 14, 3, 36);
    EXPECT_EQ(cv::countNonZero(skeletonFast(mask) != skeletonThinning(mask)), 0);
    EXPECT_TRUE(skeletonFast(cv::Mat()).empty());
    EXPECT_TRUE(skeletonFast(cv::Mat(5, 5, CV_8UC3, cv::Scalar::all(255))).empty());
}

TEST(SkeletonFast, LargeImageBoundaryIsOneMillionPixels)
{
    EXPECT_FALSE(isLargeImage(999, 1001));
    EXPECT_FALSE(isLargeImage(1, 999'999));
    EXPECT_TRUE(isLargeImage(1000, 1000));
    EXPECT_TRUE(isLargeImage(1'000'000, 1));
}

TEST(SkeletonFast, LargeImageCountDoesNotWrap)
{
    // Both products wrap to 0 or below in 32 bits.
    EXPECT_TRUE(isLargeImage(65536, 65536));
    EXPECT_TRUE(isLargeImage(46341, 46341));
}

// A one-pixel line has no pixel two deep, so plain thinning leaves nothing; the scaled
// path thickens it first and finds one line along it.
TEST(SkeletonFast, OnePixelLineVanishesOnTheSmallPathAndSurvivesTheLargeOne)
{
    cv::Mat small(999, 1001, CV_8UC1, cv::Scalar(0));
    small(cv::Range(500, 501), cv::Range(100, 900)).setTo(255);
    EXPECT_EQ(cv::countNonZero(skeletonFast(small)), 0);

    cv::Mat large(1000, 1000, CV_8UC1, cv::Scalar(0));
    large(cv::Range(500, 501), cv::Range(100, 900)).setTo(255);
    const cv::Mat before = large.clone();
    const cv::Mat skeleton = skeletonFast(large);
    EXPECT_EQ(cv::countNonZero(large != before), 0);
    ASSERT_EQ(skeleton.size(), large.size());
    ASSERT_EQ(skeleton.type(), CV_8UC1);

    cv::Mat outsideTheLine = skeleton.clone();
    outsideTheLine(cv::Range(496, 505), cv::Range(95, 905)).setTo(0);
    EXPECT_EQ(cv::countNonZero(outsideTheLine), 0);
    for (int c = 150; c < 850; ++c)
        EXPECT_EQ(cv::countNonZero(skeleton.col(c)), 1) << "column " << c;
}

// 4000 x 250 is thinned first at 2000 x 125, where a linear halving averages column
// pairs. Dilated to columns 123..127 the band halves to three columns and keeps its middle
// one; undilated, columns 124..126 would halve to two, too thin for the depth mask.
TEST(SkeletonFast, FirstDilationCarriesAThreePixelBandThroughTheHalving)
{
    const cv::Mat mask = bandMask(4000, 250, 100, 3899, 124, 126);
    const cv::Mat skeleton = skeletonFast(mask);
    ASSERT_EQ(skeleton.size(), mask.size());
    for (int r = 200; r < 3800; r += 100) {
        EXPECT_EQ(cv::countNonZero(skeleton.row(r)), 1) << "row " << r;
        EXPECT_EQ(cv::countNonZero(skeleton.row(r).colRange(121, 130)), 1) << "row " << r;
    }
}

struct FitCase {
    cv::Size src;  // width (cols) x height (rows)
    int boxWidth, boxHeight;
    cv::Size expected;
};

TEST(ResizeToFit, KeepsAspectAndRoundsHalvesToEven)
{
    const FitCase cases[] = {
        {{900, 1200}, 2000, 2000, {1500, 2000}},
        {{1000, 1000}, 2000, 2000, {2000, 2000}},
        {{3000, 4000}, 2000, 2000, {1500, 2000}},
        {{1500, 2000}, 6000, 8000, {6000, 8000}},
        {{300, 400}, 800, 800, {600, 800}},
        {{4000, 2000}, 800, 800, {800, 400}},
        {{4, 5}, 2, 100, {2, 2}},  // 2.5 rows round to 2
        {{4, 3}, 2, 100, {2, 2}},  // 1.5 rows round to 2
        {{4, 7}, 2, 100, {2, 4}},  // 3.5 rows round to 4
    };
    for (const FitCase& c : cases) {
        cv::Mat image(c.src, CV_8UC1, cv::Scalar(7));
        resizeToFit(image, image, c.boxWidth, c.boxHeight);
        EXPECT_EQ(image.size(), c.expected) << c.src << " into " << c.boxWidth << " x " << c.boxHeight;
    }
}

TEST(ResizeToFit, EmptyStaysEmpty)
{
    cv::Mat dst(3, 3, CV_8UC1);
    resizeToFit(cv::Mat(), dst, 2000, 2000);
    EXPECT_TRUE(dst.empty());
}

// cv::resize refuses a zero side; a very flat mask keeps one row instead.
TEST(ResizeToFit, FlatImageKeepsOneRowInsteadOfFailing)
{
    const cv::Mat flat(1, 5000, CV_8UC1, cv::Scalar(255));
    cv::Mat dst;
    resizeToFit(flat, dst, 2000, 2000);
    EXPECT_EQ(dst.size(), cv::Size(2000, 1));
}

TEST(BinarizeImage, EveryNonzeroValueBecomesTheGivenValue)
{
    cv::Mat image = (cv::Mat_<uchar>(1, 4) << 0, 1, 128, 255);
    binarizeImage(image, 255);
    EXPECT_EQ(std::vector<uchar>(image), (std::vector<uchar>{0, 255, 255, 255}));
    binarizeImage(image, 7);
    EXPECT_EQ(std::vector<uchar>(image), (std::vector<uchar>{0, 7, 7, 7}));
}

TEST(DebugShow, EmptyImageReturnsWithoutAWindow)
{
    debugShow(cv::Mat());
}

}  // namespace
