// The export boundary: check the arguments, wrap the caller's buffers, draw, measure.
#include "PlantEnvelope.h"
#include "envelope.h"

#include <climits>

namespace {

// The contour finder works on a copy framed by one pixel on every side, so each side
// must leave room for two more pixels in an int.
constexpr int kMaxSide = INT_MAX - 2;

}  // namespace

extern "C" PLANTENVELOPE_API double PlantEnvelope(const unsigned char* image, int cols, int rows,
                                                  unsigned char* hullimage_bw, unsigned char* hullimage_rgb)
{
    using namespace plantenvelope;
    if (!image || !hullimage_bw || !hullimage_rgb || cols <= 0 || rows <= 0) return 0.0;
    if (cols > kMaxSide || rows > kMaxSide) return 0.0;

    // Matrix headers over the caller's memory: no copies, drawing lands in the caller's buffers.
    // The contour finder works on its own copy, so the mask is never written.
    const cv::Mat mask(rows, cols, CV_8UC1, const_cast<unsigned char*>(image));
    cv::Mat bw(rows, cols, CV_8UC1, hullimage_bw);
    cv::Mat rgb(rows, cols, CV_8UC4, hullimage_rgb);

    const PlantHull plantHull = buildPlantHull(mask);
    if (plantHull.hull.empty()) return 0.0;  // no plant pixel: nothing to outline
    drawHullOutline(bw, plantHull);
    drawHullOverlay(rgb, plantHull);
    return hullArea(plantHull.hull_points);
}
