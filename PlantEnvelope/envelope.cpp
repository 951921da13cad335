#include "envelope.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdint>

namespace plantenvelope {
namespace {

constexpr int kOutlineThickness = 3;
constexpr int kVertexCircleRadius = 3;
constexpr int kVertexCircleThickness = 3;
constexpr int kContourThickness = 1;
constexpr int kNoShift = 0;
constexpr int kOnlyThisContour = 0;  // maximum level: no nested contours are drawn

// Colours as channel values in memory order; in a blue-green-red-alpha bitmap these are
// blue, green and red with alpha 0.
const cv::Scalar kOutlineGray(255);
const cv::Scalar kOutlineColour(255, 0, 0, 0);
const cv::Scalar kVertexColour(0, 255, 0, 0);
const cv::Scalar kContourColour(0, 0, 255, 0);

// Walks the closed hull: the first edge runs from the last vertex to the first, then each
// vertex to the next. visit(from, to) is called once per edge, in that order.
template <typename EdgeVisitor>
void forEachHullEdge(const PlantHull& plantHull, EdgeVisitor visit)
{
    cv::Point from = plantHull.totalcontours[plantHull.hull.back()];
    for (const int index : plantHull.hull) {
        const cv::Point to = plantHull.totalcontours[index];
        visit(from, to);
        from = to;
    }
}

// Twice the signed area of the triangle (p0, a, b). 64-bit products: for hulls spanning
// less than 2^31 square pixels this is exactly the 32-bit result, and beyond that it
// does not wrap.
std::int64_t crossProduct(const cv::Point& p0, const cv::Point& a, const cv::Point& b)
{
    const std::int64_t ax = a.x - p0.x, ay = a.y - p0.y;
    const std::int64_t bx = b.x - p0.x, by = b.y - p0.y;
    return ax * by - ay * bx;
}

}  // namespace

std::vector<PointList> findOuterContours(const cv::Mat& image)
{
    std::vector<PointList> contours;
    cv::findContours(image, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE, cv::Point(0, 0));
    return contours;
}

PointList joinContours(const std::vector<PointList>& contours)
{
    PointList totalcontours;
    for (const PointList& contour : contours)
        totalcontours.insert(totalcontours.end(), contour.begin(), contour.end());
    return totalcontours;
}

PlantHull buildPlantHull(const cv::Mat& image)
{
    PlantHull plantHull;
    plantHull.contours = findOuterContours(image);
    plantHull.totalcontours = joinContours(plantHull.contours);
    if (plantHull.totalcontours.empty()) return plantHull;
    const bool clockwise = false;
    const bool returnPoints = true;  // overridden by the index output of the first call
    cv::convexHull(plantHull.totalcontours, plantHull.hull, clockwise, returnPoints);
    cv::convexHull(plantHull.totalcontours, plantHull.hull_points, clockwise, returnPoints);
    return plantHull;
}

void drawHullOutline(cv::Mat& hullimage_bw, const PlantHull& plantHull)
{
    forEachHullEdge(plantHull, [&](const cv::Point& poi, const cv::Point& vertex) {
        cv::line(hullimage_bw, poi, vertex, kOutlineGray, kOutlineThickness, cv::LINE_AA, kNoShift);
    });
}

void drawHullOverlay(cv::Mat& hullimage_rgb, const PlantHull& plantHull)
{
    forEachHullEdge(plantHull, [&](const cv::Point& poi1, const cv::Point& vertex) {
        cv::line(hullimage_rgb, poi1, vertex, kOutlineColour, kOutlineThickness, cv::LINE_AA, kNoShift);
        cv::circle(hullimage_rgb, vertex, kVertexCircleRadius, kVertexColour, kVertexCircleThickness,
                   cv::LINE_8, kNoShift);
    });
    // Contours go last so that they lie on top of the outline and the vertex circles.
    const std::vector<cv::Vec4i> noHierarchy;
    for (int j = 0; j < static_cast<int>(plantHull.contours.size()); ++j)
        cv::drawContours(hullimage_rgb, plantHull.contours, j, kContourColour, kContourThickness, cv::LINE_8,
                         noHierarchy, kOnlyThisContour, cv::Point(0, 0));
}

double hullArea(const PointList& hull_points)
{
    double sum = 0;
    for (std::size_t i = 1; i + 1 < hull_points.size(); ++i)
        sum += static_cast<double>(crossProduct(hull_points[0], hull_points[i], hull_points[i + 1]));
    return 0.5 * std::fabs(sum);
}

}  // namespace plantenvelope
