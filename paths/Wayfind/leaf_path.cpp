#include "leaf_path.h"

#include <algorithm>

namespace wayfind {

using rastercommon::kFreeEnd;
using rastercommon::kJunction;

namespace {

constexpr float kHalfTurn = 180;

// The first pixel holding value in the given row order, each row left to right.
std::optional<FramedPoint> findFirst(const FramedRaster& raster, unsigned char value, bool bottomUp)
{
    for (int i = 1; i <= raster.rows; ++i) {
        const int y = bottomUp ? raster.rows + 1 - i : i;
        for (int x = 1; x <= raster.cols; ++x)
            if (raster.at(x, y) == value) return FramedPoint{x, y};
    }
    return std::nullopt;
}

}  // namespace

std::optional<FramedPoint> findJunctionPoint(const FramedRaster& raster)
{
    return findFirst(raster, kJunction, false);
}

std::optional<FramedPoint> findBaseTip(const FramedRaster& raster)
{
    return findFirst(raster, kFreeEnd, true);
}

void markLeafPaths(FramedRaster& trace, FramedRaster& drawing)
{
    const auto leave = [&](FramedPoint p) {
        trace.at(p.x, p.y) = 0;
        drawing.at(p.x, p.y) = kLeafPathMark;
    };
    for (int y = 1; y <= trace.rows; ++y)
        for (int x = 1; x <= trace.cols; ++x) {
            if (trace.at(x, y) != kFreeEnd) continue;
            if (const std::optional<FramedPoint> start = rastercommon::startOfBranch(trace, {x, y}))
                rastercommon::traceSkeletonLine(trace, *start, rastercommon::StepChoice::kEndsAndJunctionsFirst,
                                                leave);
        }
}

int margin(FramedPoint p, int cols)
{
    return std::min({p.x, (cols + 2) - p.x, p.y});
}

InnerAndOuter orderByMargin(FramedPoint junction, FramedPoint baseTip, int cols)
{
    if (margin(junction, cols) > margin(baseTip, cols)) return {junction, baseTip};
    return {baseTip, junction};
}

float directionAngle(InnerAndOuter points)
{
    const int dx = points.outer.x - points.inner.x;
    const int dy = points.inner.y - points.outer.y;
    if (dx == 0) return 0;
    const float a = static_cast<float>(rastercommon::arctanDegrees(dy, dx));
    return dx < 0 ? a : a + kHalfTurn;
}

}  // namespace wayfind
