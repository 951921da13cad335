#include "framed_raster.h"

#include <cstring>
#include <limits>

namespace rastercommon {

bool isUsableSize(int cols, int rows)
{
    if (cols <= 0 || rows <= 0) return false;
    // Framed coordinates run to cols + 1 and rows + 1, and callers compute cols + 2 and rows + 2.
    constexpr int kLargestSide = std::numeric_limits<int>::max() - 2;
    if (cols > kLargestSide || rows > kLargestSide) return false;
    const std::uint64_t framedPixels = (std::uint64_t{static_cast<unsigned>(cols)} + 2) *
                                       (std::uint64_t{static_cast<unsigned>(rows)} + 2);
    return framedPixels <= std::numeric_limits<std::size_t>::max() / 2;
}

FramedRaster copyInWithZeroFrame(const unsigned char* src, int cols, int rows)
{
    FramedRaster framed;
    framed.cols = cols;
    framed.rows = rows;
    framed.pixels.assign(framed.stride() * (static_cast<std::size_t>(rows) + 2), 0);
    for (int y = 0; y < rows; ++y)
        std::memcpy(framed.imageRow(y), src + static_cast<std::size_t>(y) * cols, static_cast<std::size_t>(cols));
    return framed;
}

void copyOutInterior(const FramedRaster& framed, unsigned char* dst)
{
    for (int y = 0; y < framed.rows; ++y)
        std::memcpy(dst + static_cast<std::size_t>(y) * framed.cols, framed.imageRow(y),
                    static_cast<std::size_t>(framed.cols));
}

}  // namespace rastercommon
