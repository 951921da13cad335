// A synthetic upright maize plant: a stem rising from the bottom rows and curved,
// tapering leaves alternating left and right, the last one continuing the stem top.
#ifndef LEAFKIT_TESTS_VELKLEAF_SYNTHETIC_PLANT_H
#define LEAFKIT_TESTS_VELKLEAF_SYNTHETIC_PLANT_H

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

struct DrawnLeaf {
    cv::Point attach;  // where the leaf leaves the stem's centre line
    cv::Point tip;
    double arcLength = 0;  // along the drawn centre line, attach to tip
};

struct SyntheticPlant {
    cv::Mat mask;  // 0/255
    int stemColumn = 0;
    std::vector<DrawnLeaf> leaves;  // bottom to top
};

namespace synthetic {

constexpr double kStemTopFraction = 0.3;     // the stem ends this far down the image
constexpr double kLowestLeafFraction = 0.8;  // the lowest leaf leaves the stem here
constexpr int kStemWidth = 12;
constexpr int kLeafBaseWidth = 10;
constexpr int kLeafTipWidth = 4;
constexpr int kCurveSamples = 60;

inline cv::Point2d bezier(cv::Point2d p0, cv::Point2d p1, cv::Point2d p2, double t)
{
    return (1 - t) * (1 - t) * p0 + 2 * t * (1 - t) * p1 + t * t * p2;
}

// Draws the curve as short segments whose width falls from the base to the tip.
inline DrawnLeaf drawLeafCurve(cv::Mat& mask, cv::Point2d p0, cv::Point2d p1, cv::Point2d p2)
{
    DrawnLeaf leaf;
    leaf.attach = cv::Point(cvRound(p0.x), cvRound(p0.y));
    cv::Point2d previous = p0;
    for (int i = 1; i <= kCurveSamples; ++i) {
        const double t = static_cast<double>(i) / kCurveSamples;
        const cv::Point2d next = bezier(p0, p1, p2, t);
        const int width = cvRound(kLeafBaseWidth + (kLeafTipWidth - kLeafBaseWidth) * t);
        cv::line(mask, cv::Point(cvRound(previous.x), cvRound(previous.y)), cv::Point(cvRound(next.x), cvRound(next.y)),
                 cv::Scalar(255), width, cv::LINE_8);
        leaf.arcLength += std::hypot(next.x - previous.x, next.y - previous.y);
        previous = next;
    }
    leaf.tip = cv::Point(cvRound(p2.x), cvRound(p2.y));
    return leaf;
}

// leafCount >= 2: leafCount - 1 side leaves and the top leaf.
inline SyntheticPlant drawPlant(int rows, int cols, int leafCount)
{
    SyntheticPlant plant;
    plant.mask = cv::Mat::zeros(rows, cols, CV_8UC1);
    plant.stemColumn = cols / 2;
    const int stemTop = static_cast<int>(rows * kStemTopFraction);
    cv::line(plant.mask, cv::Point(plant.stemColumn, rows - 1), cv::Point(plant.stemColumn, stemTop), cv::Scalar(255),
             kStemWidth, cv::LINE_8);

    const double length = std::min(0.35 * rows, 0.45 * cols);
    const double lowest = rows * kLowestLeafFraction;
    const double spacing = (lowest - stemTop) / (leafCount - 1);
    for (int k = 0; k + 1 < leafCount; ++k) {
        const double side = k % 2 == 0 ? 1 : -1;
        const cv::Point2d p0(plant.stemColumn, lowest - k * spacing);
        plant.leaves.push_back(drawLeafCurve(plant.mask, p0, p0 + cv::Point2d(side * 0.5 * length, -0.6 * length),
                                             p0 + cv::Point2d(side * 0.95 * length, -0.2 * length)));
    }
    const double side = leafCount % 2 == 0 ? 1 : -1;
    const cv::Point2d top(plant.stemColumn, stemTop);
    const double topLength = 0.8 * stemTop;
    plant.leaves.push_back(drawLeafCurve(plant.mask, top, top + cv::Point2d(side * 0.1 * topLength, -0.7 * topLength),
                                         top + cv::Point2d(side * 0.5 * topLength, -0.8 * topLength)));
    return plant;
}

}  // namespace synthetic

#endif
