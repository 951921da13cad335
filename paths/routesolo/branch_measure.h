// Branch measurement on a framed marked skeleton: the tip scan over a band of columns, the
// measures of each branch, its score, and the highlight of the best branch.
#ifndef LEAFKIT_ROUTESOLO_BRANCH_MEASURE_H
#define LEAFKIT_ROUTESOLO_BRANCH_MEASURE_H

#include "framed_raster.h"
#include "skeleton_trace.h"

#include <vector>

namespace routesolo {

using rastercommon::FramedPoint;
using rastercommon::FramedRaster;

struct MeasuredBranch {
    FramedPoint tip;
    float length = 0;        // running length at the end plus 1
    float distance = 0;      // straight from the tip to the end
    float straightness = 0;  // distance / length
    double referenceAngle = 0;
    double endAngle = 0;
};

// Framed columns first .. last of the tip band inside 1 .. cols; empty when first > last.
struct ColumnRange {
    int first = 1;
    int last = 0;
};

ColumnRange clipTipBand(int firstColumn, int columns, int cols);

// Direction from tip to p in degrees from straight up, clockwise positive; 0 when p lies
// straight above or below the tip.
double angleFromUp(FramedPoint tip, FramedPoint p);

// Traces the branch from its start pixel next to tip, erasing it from trace, and measures it.
MeasuredBranch measureBranch(FramedRaster& trace, FramedPoint tip, FramedPoint start);

// Measures every branch starting at a tip of trace in band: rows from the bottom up, each row
// left to right. Every tip found is erased; only a tip with exactly one neighbour is measured.
std::vector<MeasuredBranch> measureBranches(FramedRaster& trace, ColumnRange band);

// Length plus the tip's height above the image bottom (framed row rows + 2 counts as 0).
float branchScore(const MeasuredBranch& branch, int rows);

// Sets the tip to 0 in drawing and walks its branch from the last nonzero pixel of the tip's
// 3 x 3 block, writing 255 into every pixel the walk leaves.
void highlightBranch(FramedRaster& drawing, FramedPoint tip);

}  // namespace routesolo

#endif
