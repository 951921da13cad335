// Tracing along the lines of a marked skeleton held in a framed raster, and the straight
// measures between the points a trace joins. Shared by the branch measurement (routesolo)
// and the leaf path extraction (Wayfind).
//
// Marked skeleton: 0 background, 1 free end (a tip), 2 junction pixel, any other value an
// ordinary line pixel (255 in the toolkit's skeletons).
#ifndef LEAFKIT_RASTERCOMMON_SKELETON_TRACE_H
#define LEAFKIT_RASTERCOMMON_SKELETON_TRACE_H

#include "framed_raster.h"
#include "skeleton_marks.h"

#include <optional>

namespace rastercommon {

// A pixel in framed coordinates: image pixel (x, y) is framed (x + 1, y + 1).
struct FramedPoint {
    int x = 0;
    int y = 0;
};

inline bool operator==(FramedPoint a, FramedPoint b) { return a.x == b.x && a.y == b.y; }

// Erases tip from raster and returns the pixel its branch starts at: the tip's only nonzero
// neighbour. A tip with no or several nonzero neighbours starts no branch (and stays erased).
std::optional<FramedPoint> startOfBranch(FramedRaster& raster, FramedPoint tip);

// Which neighbour a trace steps onto from a pixel holding v.
enum class StepChoice {
    // The first neighbour in scan order holding v, 1 or 2.
    kFirstInScanOrder,
    // The first neighbour in scan order holding 1 or 2; only when there is none, the first
    // holding v. The trace then ends on that end or junction pixel.
    kEndsAndJunctionsFirst,
};

struct LineTrace {
    FramedPoint end;      // where the trace stopped: an end or junction pixel, or where it got stuck
    float length = 1;     // running length, 1 at the start pixel
    // The last pixel the trace stood on while 21 <= length < 30; the branch measurement takes
    // its direction as the branch's reference direction.
    std::optional<FramedPoint> reference;
};

// A trace makes at most this many passes: its counter is tested after each pass and ends the
// trace once it had already passed 1000.
constexpr int kMaxTracePasses = 1002;

// The neighbour a trace steps onto from `from`, or nothing when no neighbour qualifies.
std::optional<FramedPoint> nextStep(const FramedRaster& raster, FramedPoint from, StepChoice choice);

// What a step from `from` onto `to` adds to the running length: 1 onto an end or junction
// pixel, otherwise 1 along an edge and 1.414 across a corner.
double stepLength(const FramedRaster& raster, FramedPoint from, FramedPoint to);

// True while the running length is in the reference window: truncated it exceeds 20, and it
// is below 30.
bool isReferenceLength(float length);

// Follows the skeleton line through start, one step per pass, and returns where it stopped.
// A start pixel holding 1 (two tips side by side) ends the trace at once. Each pass stops on
// a pixel holding 0 or 2, otherwise steps by `choice` and calls leavePixel(p) on the pixel p
// it leaves (which erases or marks it); with no qualifying neighbour the trace stays where it
// is. A trace also stops on a pixel holding 1 and after kMaxTracePasses passes, so loops and
// dead ends cannot make it run on.
template <typename LeavePixel>
LineTrace traceSkeletonLine(FramedRaster& raster, FramedPoint start, StepChoice choice, LeavePixel leavePixel)
{
    LineTrace trace;
    trace.end = start;
    FramedPoint& current = trace.end;
    if (raster.at(current.x, current.y) == kFreeEnd) return trace;
    for (int pass = 1;; ++pass) {
        const unsigned char value = raster.at(current.x, current.y);
        if (value == 0 || value == kJunction) break;
        if (isReferenceLength(trace.length)) trace.reference = current;
        if (const std::optional<FramedPoint> next = nextStep(raster, current, choice)) {
            const double step = stepLength(raster, current, *next);
            leavePixel(current);
            // The length is a float; each step is added in double and rounded back.
            trace.length = static_cast<float>(trace.length + step);
            current = *next;
        }
        if (pass == kMaxTracePasses || raster.at(current.x, current.y) == kFreeEnd) break;
    }
    return trace;
}

// Straight distance between a and b: the square root of the integer sum of squares, as a float.
float straightDistance(FramedPoint a, FramedPoint b);

// arctan(dy / dx) in degrees, with pi taken as 3.14159 (so diagonals come out slightly off
// whole degrees: 45.00004 for dy = dx). dx must not be 0.
double arctanDegrees(int dy, int dx);

}  // namespace rastercommon

#endif
