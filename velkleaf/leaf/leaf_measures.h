// Measures of a traced leaf (tip first, base last) and its drawing.
#ifndef LEAFKIT_VELKLEAF_LEAF_MEASURES_H
#define LEAFKIT_VELKLEAF_LEAF_MEASURES_H

#include <opencv2/core.hpp>

#include <vector>

using Leaf = std::vector<cv::Point>;

// Straight up in image directions (0 right, 90 down); leaf angles are deviations from it.
constexpr double kUpwardDirection = 270;

// Direction of (dx, dy) in degrees, 0 right, 90 down, in [0, 360); slopes within 0.005
// of an axis snap to it.
double directionAngle(double dx, double dy);

// Deviation from straight up of the direction from the base to the fifth-last point.
double baseAngle(const Leaf& leaf);

// Deviation from straight up of the direction from the base to the tip.
double chordAngle(const Leaf& leaf);

// Length of the polyline without its last segment.
double leafLength(const Leaf& leaf);

// Distance from tip to base.
double chordLength(const Leaf& leaf);

// Draws a leaf of five or more points in a random colour (three rand() draws).
void drawLeaf(const Leaf& leaf, cv::Mat& canvas);

#endif
