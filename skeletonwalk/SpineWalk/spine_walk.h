// The walks that label a marked skeleton's branches.
#ifndef LEAFKIT_SPINEWALK_SPINE_WALK_H
#define LEAFKIT_SPINEWALK_SPINE_WALK_H

#include "framed_raster.h"
#include "skeleton_marks.h"

namespace spinewalk {

using rastercommon::kFreeEnd;
using rastercommon::kJunction;
using rastercommon::kSkeletonPixel;

// Hands out branch labels 3 .. 255 in turn and then starts again at 3, so that a label
// never reads as background, free end or junction pixel.
class BranchLabels {
public:
    static constexpr unsigned char kFirst = 3;
    static constexpr unsigned char kLast = 255;

    unsigned char next();

private:
    unsigned char next_ = kFirst;
};

// One walk from framed (x, y): erases every pixel it visits in working and writes label
// into labels there; it ends at a junction pixel (left as it is) or where no way goes on.
void traceBranch(rastercommon::FramedRaster& working, rastercommon::FramedRaster& labels, int x, int y,
                 unsigned char label);

// Labels the branches of the framed skeleton working: first from every free end, then out
// of every junction pixel. Consumes working; labels starts as a copy of it.
void labelBranches(rastercommon::FramedRaster& working, rastercommon::FramedRaster& labels);

}  // namespace spinewalk

#endif
