// Leaf path extraction on a framed marked skeleton: the junction point and the base tip, the
// leaf traces from the other tips, and the inner point with its distance and direction.
#ifndef LEAFKIT_WAYFIND_LEAF_PATH_H
#define LEAFKIT_WAYFIND_LEAF_PATH_H

#include "framed_raster.h"
#include "skeleton_trace.h"

#include <optional>

namespace wayfind {

using rastercommon::FramedPoint;
using rastercommon::FramedRaster;

constexpr unsigned char kPointMark = 200;     // the junction point and the base tip
constexpr unsigned char kLeafPathMark = 250;  // every pixel a leaf trace leaves

// The first junction pixel in rows top down, each row left to right.
std::optional<FramedPoint> findJunctionPoint(const FramedRaster& raster);

// The first tip pixel in rows bottom up, each row left to right.
std::optional<FramedPoint> findBaseTip(const FramedRaster& raster);

// Tip scan over trace (rows top down, each left to right): every tip is erased, and a tip
// with exactly one nonzero neighbour starts a leaf trace from it, which erases in trace and
// marks kLeafPathMark in drawing every pixel it leaves.
void markLeafPaths(FramedRaster& trace, FramedRaster& drawing);

// Smallest of the distances to the left, right and top sides: x, (cols + 2) - x and y.
int margin(FramedPoint p, int cols);

struct InnerAndOuter {
    FramedPoint inner;
    FramedPoint outer;
};

// The junction point is inner only when its margin is strictly larger.
InnerAndOuter orderByMargin(FramedPoint junction, FramedPoint baseTip, int cols);

// Direction from outer to inner in degrees, counter-clockwise from the positive x axis with
// y pointing up; 0 when both share a column.
float directionAngle(InnerAndOuter points);

}  // namespace wayfind

#endif
