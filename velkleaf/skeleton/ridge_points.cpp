// Ridge points: pixels whose distance to the background is a local maximum, found once
// on the mask and again after the thin parts have been widened by discs.
#include "skeleton/skeleton.h"

#include <opencv2/imgproc.hpp>

namespace {

// Ridge-map values above this mark the thick parts, whose inscribed discs are drawn.
constexpr double kThickSeedThreshold = 15;
// First-stage ridge points shallower than this are not widened.
constexpr float kMinWidenedDepth = 2.0f;
// Radius of the disc painted at each ridge point of a thin part.
constexpr int kWideningRadius = 15;
// Second-stage ridge points must lie at least this deep in the widened mask.
constexpr float kMinRidgeDepth = 5.0f;

// Fewer than three of the eight neighbours lie strictly deeper than (r, c).
bool isLocalMaximum(const cv::Mat& distance, int r, int c)
{
    const float centre = distance.at<float>(r, c);
    int deeper = 0;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc)
            deeper += (dr != 0 || dc != 0) && distance.at<float>(r + dr, c + dc) > centre;
    return deeper < 3;
}

void drawFilledDisc(cv::Mat& image, int r, int c, int radius)
{
    cv::circle(image, cv::Point(c, r), radius, cv::Scalar::all(kMaskForeground), cv::FILLED, cv::LINE_8, 0);
}

// Calls visit(r, c) for every pixel off the outermost rows and columns, row by row.
template <typename Visit>
void forEachInteriorPixel(const cv::Mat& image, Visit visit)
{
    for (int r = 1; r < image.rows - 1; ++r)
        for (int c = 1; c < image.cols - 1; ++c) visit(r, c);
}

// The mask with a disc painted at every ridge point of a thin part: a ridge point at
// least kMinWidenedDepth deep that no inscribed disc of a thick part covers.
cv::Mat widenThinParts(const cv::Mat& mask, const cv::Mat& ridges, const cv::Mat& distance)
{
    cv::Mat seeds;
    cv::threshold(ridges, seeds, kThickSeedThreshold, kMaskForeground, cv::THRESH_BINARY);
    const cv::Mat cover = drawDistanceDiscs(distance, seeds);

    cv::Mat widened = mask.clone();
    forEachInteriorPixel(mask, [&](int r, int c) {
        if (ridges.at<uchar>(r, c) != 0 && cover.at<uchar>(r, c) == 0 && distance.at<float>(r, c) >= kMinWidenedDepth)
            drawFilledDisc(widened, r, c, kWideningRadius);
    });
    return widened;
}

}  // namespace

cv::Mat ridgeMap(const cv::Mat& mask, const cv::Mat& distance)
{
    cv::Mat ridges(mask.rows, mask.cols, CV_8UC1, cv::Scalar(0));
    forEachInteriorPixel(mask, [&](int r, int c) {
        if (mask.at<uchar>(r, c) != 0 && isLocalMaximum(distance, r, c)) {
            // Saturated rather than wrapped, so that a point 256 or more deep stays a thick seed.
            ridges.at<uchar>(r, c) = cv::saturate_cast<uchar>(static_cast<int>(distance.at<float>(r, c)));
        }
    });
    return ridges;
}

cv::Mat ridgePoints(const cv::Mat& mask)
{
    if (!isSingleChannelImage(mask)) return cv::Mat();
    const cv::Mat distance = distanceMap(mask);
    const cv::Mat widened = widenThinParts(mask, ridgeMap(mask, distance), distance);
    const cv::Mat widenedDistance = distanceMap(widened);

    cv::Mat points(mask.rows, mask.cols, CV_8UC1, cv::Scalar(0));
    forEachInteriorPixel(mask, [&](int r, int c) {
        if (mask.at<uchar>(r, c) != 0 && isLocalMaximum(widenedDistance, r, c) &&
            widenedDistance.at<float>(r, c) >= kMinRidgeDepth)
            points.at<uchar>(r, c) = kMaskForeground;
    });
    return points;
}

cv::Mat drawDistanceDiscs(const cv::Mat& distance, const cv::Mat& seeds)
{
    cv::Mat discs(seeds.rows, seeds.cols, CV_8UC1, cv::Scalar(0));
    for (int r = 0; r < seeds.rows; ++r)
        for (int c = 0; c < seeds.cols; ++c)
            if (seeds.at<uchar>(r, c) != 0) drawFilledDisc(discs, r, c, static_cast<int>(distance.at<float>(r, c)));
    return discs;
}
