#include "branch_measure.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace routesolo {

using rastercommon::arctanDegrees;
using rastercommon::kNeighbourScanOrder;
using rastercommon::LineTrace;
using rastercommon::Offset;
using rastercommon::StepChoice;
using rastercommon::straightDistance;
using rastercommon::traceSkeletonLine;

namespace {

constexpr unsigned char kHighlight = 255;
constexpr double kQuarterTurn = 90;

// The last nonzero pixel of p's 3 x 3 block in scan order, p itself being 0.
std::optional<FramedPoint> lastNonzeroNeighbour(const FramedRaster& raster, FramedPoint p)
{
    std::optional<FramedPoint> last;
    for (const Offset o : kNeighbourScanOrder)
        if (raster.at(p.x + o.dx, p.y + o.dy) != 0) last = FramedPoint{p.x + o.dx, p.y + o.dy};
    return last;
}

}  // namespace

ColumnRange clipTipBand(int firstColumn, int columns, int cols)
{
    if (columns <= 0) return {};
    const std::int64_t last = std::int64_t{firstColumn} + columns - 1;
    if (last < 1 || firstColumn > cols) return {};
    return {std::max(firstColumn, 1), static_cast<int>(std::min<std::int64_t>(last, cols))};
}

double angleFromUp(FramedPoint tip, FramedPoint p)
{
    if (p.x == tip.x) return 0;
    const int dx = tip.x - p.x;
    const int dy = p.y - tip.y;
    const double a = arctanDegrees(dy, dx);
    return dx < 0 ? kQuarterTurn - a : -(a + kQuarterTurn);
}

MeasuredBranch measureBranch(FramedRaster& trace, FramedPoint tip, FramedPoint start)
{
    const LineTrace line = traceSkeletonLine(trace, start, StepChoice::kFirstInScanOrder,
                                             [&trace](FramedPoint p) { trace.at(p.x, p.y) = 0; });
    MeasuredBranch branch;
    branch.tip = tip;
    branch.length = line.length + 1;
    branch.distance = straightDistance(tip, line.end);
    branch.straightness = branch.distance / branch.length;
    branch.endAngle = angleFromUp(tip, line.end);
    // A branch too short to pass through the reference window is its own reference.
    branch.referenceAngle = angleFromUp(tip, line.reference.value_or(line.end));
    return branch;
}

std::vector<MeasuredBranch> measureBranches(FramedRaster& trace, ColumnRange band)
{
    std::vector<MeasuredBranch> branches;
    for (int y = trace.rows; y >= 1; --y)
        for (int x = band.first; x <= band.last; ++x) {
            if (trace.at(x, y) != rastercommon::kFreeEnd) continue;
            const FramedPoint tip{x, y};
            if (const std::optional<FramedPoint> start = rastercommon::startOfBranch(trace, tip))
                branches.push_back(measureBranch(trace, tip, *start));
        }
    return branches;
}

float branchScore(const MeasuredBranch& branch, int rows)
{
    return branch.length + (rows + 2) - branch.tip.y;
}

void highlightBranch(FramedRaster& drawing, FramedPoint tip)
{
    drawing.at(tip.x, tip.y) = 0;
    const std::optional<FramedPoint> start = lastNonzeroNeighbour(drawing, tip);
    if (!start) return;
    traceSkeletonLine(drawing, *start, StepChoice::kFirstInScanOrder,
                      [&drawing](FramedPoint p) { drawing.at(p.x, p.y) = kHighlight; });
}

}  // namespace routesolo
