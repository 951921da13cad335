// The export boundary of Wayfind: check the arguments, frame the caller's raster, find and
// mark the two points and the leaf paths, report the inner point and copy back.
#include "Wayfind.h"

#include "leaf_path.h"

#include <optional>

namespace {

using rastercommon::FramedPoint;
using rastercommon::FramedRaster;

constexpr int kNotMeasured = 0;

}  // namespace

extern "C" WAYFIND_API int Wayfind_forleaf(unsigned char* skeleton, int cols, int rows, int* innerColumn,
                                           int* innerRow, void* /*unused1*/, void* /*unused2*/, float* angle,
                                           void* /*unused3*/, float* distance)
{
    if (!skeleton || !innerColumn || !innerRow || !angle || !distance || !rastercommon::isUsableSize(cols, rows))
        return kNotMeasured;
    *distance = 0;

    FramedRaster trace = rastercommon::copyInWithZeroFrame(skeleton, cols, rows);
    FramedRaster drawing = trace;
    const std::optional<FramedPoint> junction = wayfind::findJunctionPoint(drawing);
    if (junction) drawing.at(junction->x, junction->y) = wayfind::kPointMark;
    const std::optional<FramedPoint> baseTip = wayfind::findBaseTip(drawing);
    if (baseTip) {
        drawing.at(baseTip->x, baseTip->y) = wayfind::kPointMark;
        trace.at(baseTip->x, baseTip->y) = 0;  // the base tip is never traced
    }
    wayfind::markLeafPaths(trace, drawing);
    rastercommon::copyOutInterior(drawing, skeleton);
    if (!junction || !baseTip) return kNotMeasured;

    const wayfind::InnerAndOuter points = wayfind::orderByMargin(*junction, *baseTip, cols);
    *innerColumn = points.inner.x;
    *innerRow = points.inner.y;
    *distance = rastercommon::straightDistance(points.inner, points.outer);
    *angle = wayfind::directionAngle(points);
    return rows + 2 - points.inner.y;
}
