// Framed rasters: a copy of a caller raster with a one-pixel frame around it, so that
// neighbour tests need no bounds checks, and the order in which neighbours are scanned.
#ifndef LEAFKIT_RASTERCOMMON_FRAMED_RASTER_H
#define LEAFKIT_RASTERCOMMON_FRAMED_RASTER_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rastercommon {

// (cols + 2) x (rows + 2) bytes; image pixel (x, y) sits at framed (x + 1, y + 1).
// All coordinates passed to at() are framed coordinates.
struct FramedRaster {
    int cols = 0;  // image width, frame excluded
    int rows = 0;  // image height, frame excluded
    std::vector<unsigned char> pixels;

    std::size_t stride() const { return static_cast<std::size_t>(cols) + 2; }
    unsigned char& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * stride() + x]; }
    unsigned char at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * stride() + x]; }
    // First image pixel of image row y (framed row y + 1, framed column 1).
    unsigned char* imageRow(int y) { return &at(1, y + 1); }
    const unsigned char* imageRow(int y) const { return &pixels[static_cast<std::size_t>(y + 1) * stride() + 1]; }
};

// True when cols x rows is a raster the framed copy can hold: both positive, framed
// coordinates and sizes (up to cols + 2, rows + 2) within int, and the framed size addressable.
bool isUsableSize(int cols, int rows);

// Copy of the cols x rows caller raster src inside a frame of 0. Needs isUsableSize.
FramedRaster copyInWithZeroFrame(const unsigned char* src, int cols, int rows);

// Writes the interior of framed (the image without its frame) to the cols x rows raster dst.
void copyOutInterior(const FramedRaster& framed, unsigned char* dst);

struct Offset {
    int dx;
    int dy;
};

// The eight neighbours of (x, y) row by row from row y - 1 to row y + 1, each row from
// column x - 1 to x + 1, skipping (x, y) itself.
constexpr Offset kNeighbourScanOrder[8] = {
    {-1, -1}, {0, -1}, {1, -1},
    {-1, 0},           {1, 0},
    {-1, 1},  {0, 1},  {1, 1},
};

// A neighbour at an edge (|dx + dy| = 1), as opposed to one at a corner.
constexpr bool isOrthogonal(Offset o) { return o.dx + o.dy == 1 || o.dx + o.dy == -1; }

}  // namespace rastercommon

#endif
