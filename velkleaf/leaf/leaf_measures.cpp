// Angles are image-oriented degrees; leaves report their deviation from straight up.
#include "leaf/leaf_measures.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAxisSnapSlope = 0.005;
// The base angle looks this many points back from the base.
constexpr int kBaseAnglePoints = 5;
constexpr int kMinDrawnPoints = 5;
constexpr int kColourSpan = 100;
constexpr int kColourFloor = 100;
constexpr int kLeafLineThickness = 3;

double distance(cv::Point a, cv::Point b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

double deviationFromUp(cv::Point from, cv::Point to)
{
    return std::abs(kUpwardDirection - directionAngle(to.x - from.x, to.y - from.y));
}

int randomColourComponent()
{
    return std::rand() % kColourSpan + kColourFloor;
}

}  // namespace

double directionAngle(double dx, double dy)
{
    if (dx == 0 && dy == 0) return 0;
    if (dx == 0) return dy > 0 ? 90 : 270;
    if (std::abs(dy / dx) <= kAxisSnapSlope) return dx > 0 ? 0 : 180;
    if (std::abs(dx / dy) <= kAxisSnapSlope) return dy > 0 ? 90 : 270;
    const double a = std::atan2(std::abs(dy), std::abs(dx)) * 180 / kPi;
    if (dx > 0 && dy > 0) return a;
    if (dx < 0 && dy > 0) return 180 - a;
    if (dx < 0 && dy < 0) return 180 + a;
    return 360 - a;
}

double baseAngle(const Leaf& leaf)
{
    const int n = static_cast<int>(leaf.size());
    return deviationFromUp(leaf.back(), leaf[std::max(n - kBaseAnglePoints, 0)]);
}

double chordAngle(const Leaf& leaf)
{
    return deviationFromUp(leaf.back(), leaf.front());
}

double leafLength(const Leaf& leaf)
{
    double sum = 0;
    for (std::size_t i = 0; i + 2 < leaf.size(); ++i) sum += distance(leaf[i], leaf[i + 1]);
    return sum;
}

double chordLength(const Leaf& leaf)
{
    return distance(leaf.front(), leaf.back());
}

void drawLeaf(const Leaf& leaf, cv::Mat& canvas)
{
    if (leaf.size() < static_cast<std::size_t>(kMinDrawnPoints)) return;
    // Named draws: the order of arguments in one call is unspecified.
    const int blue = randomColourComponent();
    const int green = randomColourComponent();
    const int red = randomColourComponent();
    const cv::Scalar colour(blue, green, red);
    for (std::size_t i = 0; i + 1 < leaf.size(); ++i)
        cv::line(canvas, leaf[i], leaf[i + 1], colour, kLeafLineThickness, cv::LINE_8, 0);
}
