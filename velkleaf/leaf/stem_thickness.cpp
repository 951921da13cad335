// The stem radius at a row is the deepest pixel of the horizontal plant run through it.
#include "leaf/stem_thickness.h"

#include "skeleton/skeleton.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

// Radii of this many pixels or less are skeleton noise, not stem.
constexpr float kMinStemRadius = 3;
const cv::Scalar kRadiusColour(20, 20, 255);

// Walks from x in steps of dx while inside the run, the first background pixel included.
void deepestAlongRow(const cv::Mat& mask, const cv::Mat& distance, int y, int x, int dx, float& best, int& bestX)
{
    for (int xi = x + dx; xi >= 0 && xi < mask.cols; xi += dx) {
        const float d = distance.at<float>(y, xi);
        if (d > best) {
            best = d;
            bestX = xi;
        }
        if (mask.at<unsigned char>(y, xi) == 0) break;
    }
}

}  // namespace

double measureStemThickness(const cv::Mat& mask, bool showDebug, const SkeletonGraph& graph)
{
    cv::Mat canvas;
    if (showDebug) cv::cvtColor(mask, canvas, cv::COLOR_GRAY2BGR);
    const cv::Mat distance = distanceMap(mask);
    double sum = 0;
    double count = 0;
    for (const SkeletonBranch& b : graph.branches) {
        if (b.role != kRoleStem) continue;
        for (const cv::Point& p : b.points) {
            float best = 0;
            int bestX = 0;
            if (mask.at<unsigned char>(p.y, p.x) != 0) {
                deepestAlongRow(mask, distance, p.y, p.x, -1, best, bestX);
                deepestAlongRow(mask, distance, p.y, p.x, +1, best, bestX);
            }
            if (best > kMinStemRadius) {
                sum += best;
                count += 1;
                if (showDebug)
                    cv::circle(canvas, cv::Point(bestX, p.y), static_cast<int>(best), kRadiusColour, cv::FILLED,
                               cv::LINE_8, 0);
            }
        }
    }
    if (showDebug) debugShow(canvas);
    return 2 * sum / std::max(count, 1.0);
}
