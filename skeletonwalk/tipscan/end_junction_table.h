// The classification of a skeleton pixel by the pattern of its eight neighbours.
#ifndef LEAFKIT_TIPSCAN_END_JUNCTION_TABLE_H
#define LEAFKIT_TIPSCAN_END_JUNCTION_TABLE_H

#include "framed_raster.h"
#include "skeleton_marks.h"

namespace tipscan {

constexpr unsigned char kNeither = 0;
using rastercommon::kFreeEnd;
using rastercommon::kJunction;
using rastercommon::kSkeletonPixel;

// The ring of neighbours clockwise from north-west; neighbour i weighs 1 << i in a ring code.
constexpr rastercommon::Offset kRing[8] = {
    {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0},
};

// Indexed by ring code. Free ends: one skeleton neighbour, or two next to each other on
// the ring. Junction pixels: the Y, X and + shapes and their relatives, in every rotation
// and mirror image; a T of three edge neighbours (168) is not one, nor is any pattern of
// five or more neighbours.
constexpr unsigned char kEndJunctionTable[256] = {
    0, 1, 1, 1, 1, 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0,  // 0-15
    1, 0, 0, 0, 0, 2, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,  // 16-31
    1, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0,  // 32-47
    1, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0,  // 48-63
    1, 0, 0, 0, 0, 2, 0, 0, 0, 2, 2, 2, 0, 2, 2, 0,  // 64-79
    0, 2, 2, 2, 2, 2, 2, 0, 0, 2, 2, 0, 0, 0, 0, 0,  // 80-95
    1, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0,  // 96-111
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 112-127
    1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 128-143
    0, 0, 2, 2, 2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 144-159
    0, 0, 0, 0, 2, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0,  // 160-175
    0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 176-191
    1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 192-207
    0, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 208-223
    0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 224-239
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 240-255
};

// Ring code of framed pixel (x, y): bit i set when neighbour kRing[i] holds exactly 255.
unsigned ringCode(const rastercommon::FramedRaster& framed, int x, int y);

}  // namespace tipscan

#endif
