#include "cyancut.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

constexpr unsigned char kPlant = 1;
constexpr unsigned char kBackground = 0;

// A rectangle of pixels, bounds inclusive; empty when a last bound is below its first.
struct Window {
    int firstRow;
    int lastRow;
    int firstCol;
    int lastCol;
};

// The pot sits in the last kColourWindowRows rows, between these columns.
constexpr int kColourWindowRows = 150;
constexpr int kColourWindowFirstCol = 700;
constexpr int kColourWindowLastCol = 1099;
constexpr int kBorderWidth = 2;
constexpr Window kReplacementWindow{1860, 2048, 630, 1099};
constexpr Window kThresholdWindow{1750, 1929, 700, 899};

struct Raster {
    int rows;
    int cols;

    std::size_t index(int row, int col) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols) + static_cast<std::size_t>(col);
    }

    // The part of w that lies inside the image.
    Window clip(Window w) const
    {
        return {std::max(w.firstRow, 0), std::min(w.lastRow, rows - 1),
                std::max(w.firstCol, 0), std::min(w.lastCol, cols - 1)};
    }

    // Calls visit(index) for every pixel of w inside the image, row by row.
    template <typename Visit>
    void forEachPixel(Window w, Visit visit) const
    {
        const Window c = clip(w);
        for (int row = c.firstRow; row <= c.lastRow; ++row)
            for (int col = c.firstCol; col <= c.lastCol; ++col) visit(index(row, col));
    }
};

Window colourWindow(int rows)
{
    return {rows - kColourWindowRows, rows - 1, kColourWindowFirstCol, kColourWindowLastCol};
}

// A plant pixel whose red is strictly below both green and blue is pot; equal values
// are not below, so gray stays plant.
void removeBluishPixels(const Raster& r, const unsigned char* red, const unsigned char* green,
                        const unsigned char* blue, unsigned char* mask)
{
    r.forEachPixel(colourWindow(r.rows), [&](std::size_t i) {
        if (mask[i] == kPlant && red[i] < green[i] && red[i] < blue[i]) mask[i] = kBackground;
    });
}

// The first and last kBorderWidth rows over the full width, then the first and last
// kBorderWidth columns over the full height.
void clearBorder(const Raster& r, unsigned char* mask)
{
    const auto clear = [&](std::size_t i) { mask[i] = kBackground; };
    r.forEachPixel({0, kBorderWidth - 1, 0, r.cols - 1}, clear);
    r.forEachPixel({r.rows - kBorderWidth, r.rows - 1, 0, r.cols - 1}, clear);
    r.forEachPixel({0, r.rows - 1, 0, kBorderWidth - 1}, clear);
    r.forEachPixel({0, r.rows - 1, r.cols - kBorderWidth, r.cols - 1}, clear);
}

void copySecondMask(const Raster& r, const unsigned char* secondMask, unsigned char* mask)
{
    r.forEachPixel(kReplacementWindow, [&](std::size_t i) {
        mask[i] = secondMask[i] == kPlant ? kPlant : kBackground;
    });
}

// The 8-bit level is widened and compared unsigned, so a threshold of 255 or more clears the window.
void thresholdLevel(const Raster& r, const unsigned char* level, std::uint32_t threshold, unsigned char* mask)
{
    r.forEachPixel(kThresholdWindow, [&](std::size_t i) {
        mask[i] = std::uint32_t{level[i]} > threshold ? kPlant : kBackground;
    });
}

}  // namespace

extern "C" void remove_blue_plot(const unsigned char* red, const unsigned char* green, const unsigned char* blue,
                                 int rows, int cols, unsigned char* mask, const unsigned char* secondMask,
                                 const unsigned char* level, std::uint32_t threshold)
{
    if (!red || !green || !blue || !mask || !secondMask || !level || rows <= 0 || cols <= 0) return;
    const Raster raster{rows, cols};
    // Later steps overwrite earlier ones where their windows overlap.
    removeBluishPixels(raster, red, green, blue, mask);
    clearBorder(raster, mask);
    copySecondMask(raster, secondMask, mask);
    thresholdLevel(raster, level, threshold, mask);
}

extern "C" void remove_blue_plot_EG(const unsigned char*, const unsigned char*, const unsigned char*,
                                    int rows, int cols, unsigned char* mask)
{
    if (!mask || rows <= 0 || cols <= 0) return;
    clearBorder(Raster{rows, cols}, mask);
}
