// Ridge points: the local-maximum test, the ridge map and the two-stage search.
#include "mask_art.h"
#include "skeleton/skeleton.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

namespace {

// A 3 x 3 distance map with the given centre, its first `deeper` neighbours in scan
// order set to centre + 1 and the rest to centre.
cv::Mat distanceWithDeeperNeighbours(float centre, int deeper)
{
    cv::Mat distance(3, 3, CV_32FC1, cv::Scalar(centre));
    int set = 0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if ((r != 1 || c != 1) && set < deeper) {
                distance.at<float>(r, c) = centre + 1;
                ++set;
            }
    return distance;
}

const cv::Mat kFullMask(3, 3, CV_8UC1, cv::Scalar(255));

TEST(RidgeMap, FewerThanThreeDeeperNeighboursMakeALocalMaximum)
{
    EXPECT_EQ(ridgeMap(kFullMask, distanceWithDeeperNeighbours(5.7f, 0)).at<uchar>(1, 1), 5) << "equal never counts";
    EXPECT_EQ(ridgeMap(kFullMask, distanceWithDeeperNeighbours(5.7f, 2)).at<uchar>(1, 1), 5);
    EXPECT_EQ(ridgeMap(kFullMask, distanceWithDeeperNeighbours(5.7f, 3)).at<uchar>(1, 1), 0);
}

TEST(RidgeMap, OnlyInteriorForegroundPixelsAreTested)
{
    const cv::Mat map = ridgeMap(parseMask({"###", "#.#", "###"}), distanceWithDeeperNeighbours(5.0f, 0));
    EXPECT_EQ(cv::countNonZero(map), 0);
}

// An 8-bit ridge map would wrap a depth of 300 to 44, below the thick-seed threshold.
TEST(RidgeMap, DepthOf256OrMoreSaturatesInsteadOfWrapping)
{
    EXPECT_EQ(ridgeMap(kFullMask, distanceWithDeeperNeighbours(300.0f, 0)).at<uchar>(1, 1), 255);
    EXPECT_EQ(ridgeMap(kFullMask, distanceWithDeeperNeighbours(256.0f, 0)).at<uchar>(1, 1), 255);
    EXPECT_EQ(ridgeMap(kFullMask, distanceWithDeeperNeighbours(255.9f, 0)).at<uchar>(1, 1), 255);
}

TEST(DrawDistanceDiscs, DrawsADiscOfTheTruncatedDistanceAtEverySeed)
{
    cv::Mat distance(9, 9, CV_32FC1, cv::Scalar(0));
    distance.at<float>(4, 4) = 2.9f;
    cv::Mat seeds(9, 9, CV_8UC1, cv::Scalar(0));
    seeds.at<uchar>(4, 4) = 255;
    const cv::Mat discs = drawDistanceDiscs(distance, seeds);
    EXPECT_EQ(discs.at<uchar>(4, 6), 255);
    EXPECT_EQ(discs.at<uchar>(4, 7), 0) << "radius 2.9 is drawn as 2";
    EXPECT_EQ(discs.at<uchar>(2, 4), 255);
    EXPECT_EQ(discs.at<uchar>(1, 4), 0);
}

TEST(RidgePoints, BandThreeWideHasNone)
{
    EXPECT_EQ(cv::countNonZero(ridgePoints(bandMask(41, 60, 19, 21, 5, 54))), 0);
}

TEST(RidgePoints, BandFiveWideHasItsCentreLine)
{
    const cv::Mat mask = bandMask(41, 60, 18, 22, 5, 54);
    const cv::Mat points = ridgePoints(mask);
    EXPECT_EQ(cv::countNonZero(points.row(20)), cv::countNonZero(points)) << "only the centre line";
    EXPECT_EQ(cv::countNonZero(points.row(20).colRange(15, 45)), 30);
}

TEST(RidgePoints, DiscHasItsCentre)
{
    cv::Mat mask(101, 101, CV_8UC1, cv::Scalar(0));
    cv::circle(mask, cv::Point(50, 50), 40, cv::Scalar(255), -1, 8, 0);
    const cv::Mat points = ridgePoints(mask);
    EXPECT_EQ(points.at<uchar>(50, 50), 255);
    EXPECT_EQ(cv::countNonZero(points & ~mask), 0);
}

// Local maxima of the mask's own distances at least five deep: the ridge points of a
// shape on which the first stage paints nothing.
cv::Mat unwidenedRidgePoints(const cv::Mat& mask)
{
    const cv::Mat distance = distanceMap(mask);
    cv::Mat points(mask.size(), CV_8UC1, cv::Scalar(0));
    for (int r = 1; r < mask.rows - 1; ++r)
        for (int c = 1; c < mask.cols - 1; ++c) {
            const float centre = distance.at<float>(r, c);
            const cv::Mat around = distance(cv::Range(r - 1, r + 2), cv::Range(c - 1, c + 2));
            if (mask.at<uchar>(r, c) != 0 && centre >= 5.0f && cv::countNonZero(around > centre) < 3)
                points.at<uchar>(r, c) = 255;
        }
    return points;
}

// Every ridge point of these shapes lies in an inscribed disc of a part deeper than the
// seed threshold: the disc's own, and for the ellipse (semi-axes 40 and 20) that of its
// middle, which covers the ends of its ridge where the depth falls below 16. Painting
// those ends would push the widened mask past the ellipse's outline.
TEST(RidgePoints, ShapesCoveredByTheirOwnInscribedDiscsArePaintedNowhere)
{
    cv::Mat disc(101, 101, CV_8UC1, cv::Scalar(0));
    cv::circle(disc, cv::Point(50, 50), 40, cv::Scalar(255), -1, 8, 0);
    cv::Mat ellipse(101, 101, CV_8UC1, cv::Scalar(0));
    cv::ellipse(ellipse, cv::Point(50, 50), cv::Size(40, 20), 0, 0, 360, cv::Scalar(255), -1, 8, 0);
    for (const cv::Mat& mask : {disc, ellipse}) {
        const cv::Mat expected = unwidenedRidgePoints(mask);
        ASSERT_GT(cv::countNonZero(expected), 0);
        EXPECT_EQ(cv::countNonZero(ridgePoints(mask) != expected), 0);
    }
}

// The discs painted on two bands bridge the gap between them, where the widened mask has
// its centre line; the second search keeps only points of the input mask.
TEST(RidgePoints, WidenedBridgeOverBackgroundGivesNoPoints)
{
    cv::Mat mask = bandMask(41, 60, 18, 22, 5, 54);
    mask(cv::Range::all(), cv::Range(28, 31)).setTo(0);
    const cv::Mat points = ridgePoints(mask);
    EXPECT_EQ(cv::countNonZero(points.row(20).colRange(28, 31)), 0);
    EXPECT_EQ(cv::countNonZero(points & ~mask), 0);
    EXPECT_GT(cv::countNonZero(points.row(20).colRange(15, 28)), 0);
    EXPECT_GT(cv::countNonZero(points.row(20).colRange(31, 45)), 0);
}

TEST(RidgePoints, BackgroundAndOutermostPixelsStayZero)
{
    // The band reaches every edge, and its discs cover background around it.
    cv::Mat mask = bandMask(41, 60, 18, 22, 0, 59);
    mask(cv::Range::all(), cv::Range(28, 33)).setTo(255);
    const cv::Mat points = ridgePoints(mask);
    EXPECT_EQ(cv::countNonZero(points & ~mask), 0);
    EXPECT_EQ(cv::countNonZero(points.row(0)) + cv::countNonZero(points.row(40)), 0);
    EXPECT_EQ(cv::countNonZero(points.col(0)) + cv::countNonZero(points.col(59)), 0);
    EXPECT_GT(cv::countNonZero(points), 0);
}

TEST(RidgePoints, EmptyOrMultiChannelGivesEmpty)
{
    EXPECT_TRUE(ridgePoints(cv::Mat()).empty());
    EXPECT_TRUE(ridgePoints(cv::Mat(5, 5, CV_8UC3, cv::Scalar::all(255))).empty());
}

}  // namespace
