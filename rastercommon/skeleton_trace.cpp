#include "skeleton_trace.h"

#include <cmath>
#include <cstdint>

namespace rastercommon {

namespace {

constexpr double kPi = 3.14159;  // the toolkit's angles have always used this value of pi
constexpr double kEdgeStep = 1;
constexpr double kCornerStep = 1.414;
constexpr int kReferenceLengthAbove = 20;  // truncated length must exceed this
constexpr float kReferenceLengthBelow = 30;

bool isEndOrJunction(unsigned char value) { return value == kFreeEnd || value == kJunction; }

FramedPoint neighbour(FramedPoint p, Offset o) { return {p.x + o.dx, p.y + o.dy}; }

// The first neighbour of p, in scan order, whose value passes `qualifies`.
template <typename Qualifies>
std::optional<FramedPoint> firstNeighbour(const FramedRaster& raster, FramedPoint p, Qualifies qualifies)
{
    for (const Offset o : kNeighbourScanOrder) {
        const FramedPoint n = neighbour(p, o);
        if (qualifies(raster.at(n.x, n.y))) return n;
    }
    return std::nullopt;
}

}  // namespace

std::optional<FramedPoint> startOfBranch(FramedRaster& raster, FramedPoint tip)
{
    raster.at(tip.x, tip.y) = 0;
    std::optional<FramedPoint> start;
    for (const Offset o : kNeighbourScanOrder) {
        const FramedPoint n = neighbour(tip, o);
        if (raster.at(n.x, n.y) == 0) continue;
        if (start) return std::nullopt;
        start = n;
    }
    return start;
}

std::optional<FramedPoint> nextStep(const FramedRaster& raster, FramedPoint from, StepChoice choice)
{
    const unsigned char value = raster.at(from.x, from.y);
    const auto holdsValue = [value](unsigned char v) { return v == value; };
    if (choice == StepChoice::kEndsAndJunctionsFirst) {
        if (const std::optional<FramedPoint> end = firstNeighbour(raster, from, isEndOrJunction)) return end;
        return firstNeighbour(raster, from, holdsValue);
    }
    return firstNeighbour(raster, from, [&](unsigned char v) { return holdsValue(v) || isEndOrJunction(v); });
}

double stepLength(const FramedRaster& raster, FramedPoint from, FramedPoint to)
{
    if (isEndOrJunction(raster.at(to.x, to.y))) return kEdgeStep;
    return isOrthogonal({to.x - from.x, to.y - from.y}) ? kEdgeStep : kCornerStep;
}

bool isReferenceLength(float length)
{
    return static_cast<int>(length) > kReferenceLengthAbove && length < kReferenceLengthBelow;
}

float straightDistance(FramedPoint a, FramedPoint b)
{
    const std::int64_t dx = std::int64_t{a.x} - b.x;
    const std::int64_t dy = std::int64_t{a.y} - b.y;
    return static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
}

double arctanDegrees(int dy, int dx)
{
    return std::atan(static_cast<double>(dy) / dx) * 180 / kPi;
}

}  // namespace rastercommon
