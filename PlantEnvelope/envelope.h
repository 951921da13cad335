// Internal interface of PlantEnvelope: the steps of the export, reachable from the tests.
#ifndef LEAFKIT_PLANTENVELOPE_ENVELOPE_H
#define LEAFKIT_PLANTENVELOPE_ENVELOPE_H

#include <opencv2/core.hpp>

#include <vector>

namespace plantenvelope {

using PointList = std::vector<cv::Point>;

// The working data of one call: the outer contours of the mask, all their points joined,
// and the convex hull of those points, once as indices (for drawing) and once as points
// (for the area). Both hulls describe the same polygon in the same vertex order.
struct PlantHull {
    std::vector<PointList> contours;
    PointList totalcontours;
    std::vector<int> hull;
    PointList hull_points;
};

// Outer contours of all plant regions (nonzero pixels), every boundary pixel kept.
// The image is not modified.
std::vector<PointList> findOuterContours(const cv::Mat& image);

// All contour points, contour 0 first, each contour's points in their own order.
PointList joinContours(const std::vector<PointList>& contours);

// Contours, joined points and both hulls of the mask; every list is empty when the
// mask has no plant pixel.
PlantHull buildPlantHull(const cv::Mat& image);

// The closed hull outline in 255, its first edge running from the last vertex to the first.
void drawHullOutline(cv::Mat& hullimage_bw, const PlantHull& plantHull);

// The hull outline, a circle on every vertex, then every contour on top.
void drawHullOverlay(cv::Mat& hullimage_rgb, const PlantHull& plantHull);

// Area of the polygon, by a fan of triangles from its first vertex; 0 below three vertices.
double hullArea(const PointList& hull_points);

}  // namespace plantenvelope

#endif
