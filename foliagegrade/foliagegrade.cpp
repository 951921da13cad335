#include "foliagegrade.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

// ---- block density --------------------------------------------------------------

// The pixels of one block that lie inside the image, bounds half-open.
struct Block {
    std::int64_t firstRow, endRow, firstCol, endCol;
};

struct PlantMask {
    const unsigned char* pixels;
    std::int64_t rows, cols;

    std::size_t index(std::int64_t row, std::int64_t col) const { return static_cast<std::size_t>(row * cols + col); }

    // Calls visit(index) for every plant pixel of the block, row by row.
    template <typename Visit>
    void forEachPlantPixel(const Block& b, Visit visit) const
    {
        for (std::int64_t row = b.firstRow; row < b.endRow; ++row)
            for (std::int64_t col = b.firstCol; col < b.endCol; ++col)
                if (pixels[index(row, col)] != 0) visit(index(row, col));
    }
};

std::int64_t blockCount(std::int64_t length, std::int64_t side) { return length / side + (length % side != 0); }

// Plant pixels of the block over the full block area, which is side x side also for the
// partial blocks at the right and bottom edges.
float blockDensity(const PlantMask& mask, const Block& b, std::int64_t side)
{
    std::int64_t plantPixels = 0;
    mask.forEachPlantPixel(b, [&](std::size_t) { ++plantPixels; });
    return static_cast<float>(plantPixels) / static_cast<float>(side * side);
}

void addBlockDensities(const PlantMask& mask, std::int64_t side, float* density)
{
    for (std::int64_t top = 0; top < mask.rows; top += side)
        for (std::int64_t left = 0; left < mask.cols; left += side) {
            const Block b{top, std::min(top + side, mask.rows), left, std::min(left + side, mask.cols)};
            const float d = blockDensity(mask, b, side);
            mask.forEachPlantPixel(b, [&](std::size_t i) { density[i] += d; });
        }
}

// ---- density classes ------------------------------------------------------------

constexpr int kClassEntries = 6;
constexpr double kClassStep = 0.1;
// Table entry of k = trunc(d / kClassStep) for k = 0 .. 10; a larger k has no entry.
constexpr int kEntryOfStep[] = {0, 1, 2, 2, 3, 3, 4, 4, 5, 5, 5};
constexpr int kStepsWithEntry = sizeof kEntryOfStep / sizeof kEntryOfStep[0];

// The table entry of a positive density, or -1 when it lies at or above 1.1. The quotient
// is compared before truncation so that an infinite density never reaches the conversion.
int classEntry(float d)
{
    const double steps = d / kClassStep;
    return steps < kStepsWithEntry ? kEntryOfStep[static_cast<int>(steps)] : -1;
}

}  // namespace

extern "C" int CalLeafDens(const unsigned char* mask, int rows, int cols, int blockSide, float* density)
{
    if (blockSide <= 0 || cols <= 0) return 0;
    const int blockColumns = static_cast<int>(blockCount(cols, blockSide));
    if (mask && density && rows > 0) addBlockDensities(PlantMask{mask, rows, cols}, blockSide, density);
    return blockColumns;
}

extern "C" void DensClassify(const float* density, int rows, int cols, float* classTable)
{
    if (!density || !classTable || rows <= 0 || cols <= 0) return;
    const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols);
    std::int64_t counted = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!(density[i] > 0)) continue;  // also skips NaN
        ++counted;
        const int entry = classEntry(density[i]);
        if (entry >= 0) classTable[entry] += 1.0f;
    }
    if (counted == 0) return;  // nothing was added; dividing would give 0 / 0
    for (int e = 0; e < kClassEntries; ++e) classTable[e] /= static_cast<float>(counted);
}
