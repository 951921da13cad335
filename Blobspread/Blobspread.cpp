#include "Blobspread.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr unsigned char kCandidate = 0;
constexpr unsigned char kRegion = 1;
constexpr int kBrightGreen = 240;     // a candidate greener than this joins whatever its colour
constexpr int kExcessGreenMin = 130;  // otherwise its excess green must exceed this
constexpr unsigned int kMinSide = 2;  // with fewer rows or columns there is nothing to grow or count

int channel(std::uint32_t word, int shift) { return static_cast<int>((word >> shift) & 0xFFu); }

int greenOf(std::uint32_t word) { return channel(word, 8); }

// 2 G - R - B, in -510 .. 510.
int excessGreen(std::uint32_t word)
{
    return 2 * greenOf(word) - channel(word, 0) - channel(word, 16);
}

bool passesGrowthTest(std::uint32_t word)
{
    return greenOf(word) > kBrightGreen || excessGreen(word) > kExcessGreenMin;
}

// The caller's image and mask with their width, addressed by (row, column).
struct Raster {
    const std::uint32_t* image;
    unsigned char* mask;
    std::size_t cols;

    std::size_t index(std::size_t row, std::size_t col) const { return row * cols + col; }

    // A candidate at (row, col) that passes the growth test joins the region at once.
    void tryJoin(std::size_t row, std::size_t col) const
    {
        const std::size_t i = index(row, col);
        if (mask[i] == kCandidate && passesGrowthTest(image[i])) mask[i] = kRegion;
    }
};

// Rows 0 .. rows - 2 top down, columns 1 .. cols - 2 left to right; each region pixel
// offers its right, lower-right, lower and lower-left neighbours, so the region runs
// along a row and into the rows below within the pass.
void growForward(const Raster& r, std::size_t rows)
{
    for (std::size_t j = 0; j + 1 < rows; ++j)
        for (std::size_t k = 1; k + 1 < r.cols; ++k) {
            if (r.mask[r.index(j, k)] != kRegion) continue;
            r.tryJoin(j, k + 1);
            r.tryJoin(j + 1, k + 1);
            r.tryJoin(j + 1, k);
            r.tryJoin(j + 1, k - 1);
        }
}

// Rows rows - 2 down to 2, columns cols - 2 down to 2; each region pixel offers its left,
// upper-left, upper and upper-right neighbours. Row 0 and column 0 are never reached.
void growBackward(const Raster& r, std::size_t rows)
{
    for (std::size_t j = rows - 2; j >= 2; --j)
        for (std::size_t k = r.cols - 2; k >= 2; --k) {
            if (r.mask[r.index(j, k)] != kRegion) continue;
            r.tryJoin(j, k - 1);
            r.tryJoin(j - 1, k - 1);
            r.tryJoin(j - 1, k);
            r.tryJoin(j - 1, k + 1);
        }
}

// Signed mean of the excess green of the region pixels outside the last row and column,
// truncated toward zero; 0 when there are none. The sum is 64-bit so that it never wraps.
std::int64_t meanExcessGreen(const Raster& r, std::size_t rows)
{
    std::int64_t sum = 0;
    std::int64_t count = 0;
    for (std::size_t j = 0; j + 1 < rows; ++j)
        for (std::size_t k = 0; k + 1 < r.cols; ++k) {
            const std::size_t i = r.index(j, k);
            if (r.mask[i] != kRegion) continue;
            sum += excessGreen(r.image[i]);
            ++count;
        }
    return count == 0 ? 0 : sum / count;
}

}  // namespace

extern "C" std::uint32_t Blobspread(const std::uint32_t* image, unsigned char* mask, unsigned int cols, unsigned int rows)
{
    if (!image || !mask || cols < kMinSide || rows < kMinSide) return 0;
    const Raster raster{image, mask, cols};
    growForward(raster, rows);
    growBackward(raster, rows);
    // Two's complement: a host reading the result as int32_t gets the signed mean.
    return static_cast<std::uint32_t>(meanExcessGreen(raster, rows));
}
