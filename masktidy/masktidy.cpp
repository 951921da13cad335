// Thresholding, background fill, small-region removal and hole filling of 0/1 masks.
// The floods run on an explicit point stack (no recursion); every pixel is marked in the
// step in which it is pushed, so none is pushed twice.
#include "masktidy.h"

#include "point_stack.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

namespace {

using masktidy::PixelIndex;
using masktidy::PointStack;

constexpr int kDone = 1;
constexpr int kNoMemory = 0;

// Point indices are 32-bit, so a scan raster may hold at most this many pixels.
constexpr std::int64_t kMaxIndexedPixels = std::numeric_limits<PixelIndex>::max();

// bwfill needs an interior pixel (1, 1) inside a one-pixel border.
constexpr int kMinFillSize = 3;

// bwfill's own mark in the mask: background reached from pixel (1, 1), or frame.
constexpr unsigned char kReached = 2;

// Visit marks of the region sweep.
constexpr unsigned char kUnvisited = 0;
constexpr unsigned char kVisited = 1;
constexpr unsigned char kSelected = 2;  // in a region small enough to rewrite

bool isUsableMask(const void* mask, int rows, int cols)
{
    return mask && rows > 0 && cols > 0;
}

std::int64_t pixelCount(std::int64_t rows, std::int64_t cols)
{
    return rows * cols;
}

void setBorder(unsigned char* raster, std::size_t rows, std::size_t cols, unsigned char value)
{
    std::fill(raster, raster + cols, value);
    std::fill(raster + (rows - 1) * cols, raster + rows * cols, value);
    for (std::size_t y = 1; y + 1 < rows; ++y) {
        raster[y * cols] = value;
        raster[y * cols + cols - 1] = value;
    }
}

// What a sweep looks for. Foreground is 8-connected and background 4-connected, so
// removal and filling see the same topology.
enum class Target { Foreground, Background };

bool isTarget(Target target, unsigned char value)
{
    return target == Target::Foreground ? value != 0 : value == 0;
}

// The value that is not of the target class: written into the selected regions, and
// the value of a frame that bounds them.
unsigned char otherClassValue(Target target)
{
    return target == Target::Foreground ? 0 : 1;
}

struct Neighbourhood {
    std::array<std::ptrdiff_t, 8> offsets;
    int count;
};

// Foreground: all eight neighbours row by row, the row above first, left to right in
// each row. Background: the four edge neighbours up, left, right, down.
Neighbourhood neighbourhoodOf(Target target, std::ptrdiff_t width)
{
    if (target == Target::Foreground) {
        return {{-width - 1, -width, -width + 1, -1, 1, width - 1, width, width + 1}, 8};
    }
    return {{-width, -1, 1, width}, 4};
}

// How the scan raster is laid out: its outermost rows and columns are a frame that
// never joins a region, and only the pixels inside it seed.
enum class ScanLayout {
    FramedCopy,             // a copy of the mask inside a one-pixel frame of the other class
    MaskItself,             // the mask; its border must be of the other class
    MaskWithBorderAsFrame,  // the mask; its border is set to the other class first, 0 after
};

// One sweep over a scan raster that ends at its frame.
class RegionSweep {
public:
    RegionSweep(const unsigned char* scan, std::size_t height, std::size_t width, Target target,
                std::size_t maxArea, PointStack& stack, std::vector<unsigned char>& visit,
                std::vector<PixelIndex>& members)
        : scan_(scan), height_(height), width_(width), target_(target),
          neighbourhood_(neighbourhoodOf(target, static_cast<std::ptrdiff_t>(width))),
          maxArea_(maxArea), stack_(stack), visit_(visit), members_(members)
    {
    }

    // Marks every region of the target class with at most maxArea pixels as selected.
    // False when the point stack could not grow.
    bool selectSmallRegions()
    {
        markFrameVisited();
        for (std::size_t y = 1; y + 1 < height_; ++y) {
            for (std::size_t x = 1; x + 1 < width_; ++x) {
                const std::size_t seed = y * width_ + x;
                if (isTarget(target_, scan_[seed]) && visit_[seed] == kUnvisited && !traceRegion(seed)) return false;
            }
        }
        return true;
    }

private:
    // The frame is never visited, so no flood steps onto it or past it.
    void markFrameVisited() { setBorder(visit_.data(), height_, width_, kVisited); }

    bool traceRegion(std::size_t seed)
    {
        members_[0] = static_cast<PixelIndex>(seed);
        visit_[seed] = kVisited;
        if (!stack_.push(static_cast<PixelIndex>(seed))) return false;
        std::size_t found = 0;
        while (!stack_.empty()) {
            const std::ptrdiff_t p = stack_.pop();
            for (int k = 0; k < neighbourhood_.count; ++k) {
                const auto q = static_cast<std::size_t>(p + neighbourhood_.offsets[k]);
                if (!isTarget(target_, scan_[q]) || visit_[q] != kUnvisited) continue;
                visit_[q] = kVisited;
                if (!stack_.push(static_cast<PixelIndex>(q))) return false;
                ++found;
                if (found < maxArea_) members_[found] = static_cast<PixelIndex>(q);
            }
        }
        // found + 1 pixels: the region is small when all of them made it into the list.
        if (found < maxArea_) {
            for (std::size_t i = 0; i <= found; ++i) visit_[members_[i]] = kSelected;
        }
        return true;
    }

    const unsigned char* scan_;
    std::size_t height_;
    std::size_t width_;
    Target target_;
    Neighbourhood neighbourhood_;
    std::size_t maxArea_;
    PointStack& stack_;
    std::vector<unsigned char>& visit_;
    std::vector<PixelIndex>& members_;
};

std::vector<unsigned char> framedCopy(const unsigned char* mask, std::size_t rows, std::size_t cols,
                                      unsigned char frameValue)
{
    const std::size_t width = cols + 2;
    std::vector<unsigned char> framed((rows + 2) * width, frameValue);
    for (std::size_t y = 0; y < rows; ++y) std::memcpy(&framed[(y + 1) * width + 1], mask + y * cols, cols);
    return framed;
}

// Writes value into every mask pixel whose scan pixel is selected; frame is 1 when the
// scan raster is a framed copy, 0 when it is the mask itself.
void rewriteSelected(const std::vector<unsigned char>& visit, int frame, unsigned char* mask, std::size_t rows,
                     std::size_t cols, unsigned char value)
{
    const std::size_t offset = static_cast<std::size_t>(frame);
    const std::size_t width = cols + 2 * offset;
    for (std::size_t y = 0; y < rows; ++y) {
        for (std::size_t x = 0; x < cols; ++x) {
            if (visit[(y + offset) * width + x + offset] == kSelected) mask[y * cols + x] = value;
        }
    }
}

// Rewrites the target-class regions of at most maxArea pixels with the other class.
int sweepRegions(unsigned char* mask, int rows, int cols, int maxArea, Target target, ScanLayout layout)
{
    if (!isUsableMask(mask, rows, cols)) return kDone;
    PointStack stack;
    if (!stack.allocated()) return kNoMemory;
    // No region is small enough to rewrite, so nothing is scanned, whatever the size.
    if (maxArea <= 0) return kDone;

    const int frame = layout == ScanLayout::FramedCopy ? 1 : 0;
    const std::int64_t scanRows = std::int64_t{rows} + 2 * frame;
    const std::int64_t scanCols = std::int64_t{cols} + 2 * frame;
    const std::int64_t scanPixels = pixelCount(scanRows, scanCols);
    if (scanPixels > kMaxIndexedPixels) return kNoMemory;

    const auto height = static_cast<std::size_t>(scanRows);
    const auto width = static_cast<std::size_t>(scanCols);
    const unsigned char fillValue = otherClassValue(target);
    // A region never has more pixels than the scan raster, so a longer member list would stay unused.
    const auto memberCapacity = static_cast<std::size_t>(std::min<std::int64_t>(maxArea, scanPixels));
    std::vector<unsigned char> framed;
    std::vector<unsigned char> visit;
    std::vector<PixelIndex> members;
    try {
        if (frame) framed = framedCopy(mask, static_cast<std::size_t>(rows), static_cast<std::size_t>(cols), fillValue);
        visit.assign(static_cast<std::size_t>(scanPixels), kUnvisited);
        members.assign(memberCapacity, 0);
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }

    if (layout == ScanLayout::MaskWithBorderAsFrame) setBorder(mask, height, width, fillValue);
    const unsigned char* scan = frame ? framed.data() : mask;
    RegionSweep sweep(scan, height, width, target, static_cast<std::size_t>(maxArea), stack, visit, members);
    if (!sweep.selectSmallRegions()) return kNoMemory;
    rewriteSelected(visit, frame, mask, static_cast<std::size_t>(rows), static_cast<std::size_t>(cols), fillValue);
    if (layout == ScanLayout::MaskWithBorderAsFrame) setBorder(mask, height, width, 0);
    return kDone;
}

// Marks with kReached the frame and all background 4-connected to pixel (1, 1); the
// frame keeps the walk inside the image without bounds tests.
bool floodFromInnerCorner(unsigned char* mask, std::size_t rows, std::size_t cols, PointStack& stack)
{
    setBorder(mask, rows, cols, kReached);
    const std::size_t start = cols + 1;
    mask[start] = kReached;
    if (!stack.push(static_cast<PixelIndex>(start))) return false;

    const auto width = static_cast<std::ptrdiff_t>(cols);
    const std::ptrdiff_t leftRightUpDown[] = {-1, 1, -width, width};
    while (!stack.empty()) {
        const std::ptrdiff_t p = stack.pop();
        for (std::ptrdiff_t offset : leftRightUpDown) {
            const auto q = static_cast<std::size_t>(p + offset);
            if (mask[q] != 0) continue;
            mask[q] = kReached;
            if (!stack.push(static_cast<PixelIndex>(q))) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int imbinary(const float* image, int count1, int count2, float threshold, unsigned char* mask)
{
    if (!isUsableMask(image, count1, count2) || !mask) return kDone;
    const auto count = static_cast<std::size_t>(pixelCount(count1, count2));
    for (std::size_t i = 0; i < count; ++i) mask[i] = image[i] >= threshold ? 1 : 0;
    return kDone;
}

extern "C" int bwfill(unsigned char* mask, int rows, int cols)
{
    if (!isUsableMask(mask, rows, cols)) return kDone;
    const std::int64_t pixels = pixelCount(rows, cols);
    if (pixels > kMaxIndexedPixels) return kNoMemory;
    PointStack stack;
    if (!stack.allocated()) return kNoMemory;

    unsigned char* const end = mask + pixels;
    if (rows < kMinFillSize || cols < kMinFillSize) {
        std::fill(mask, end, 0);  // all border, and the border always ends as background
        return kDone;
    }
    if (!floodFromInnerCorner(mask, static_cast<std::size_t>(rows), static_cast<std::size_t>(cols), stack)) return kNoMemory;
    // Reached background stays background; unreached background is enclosed and filled.
    for (unsigned char* p = mask; p != end; ++p) {
        if (*p == kReached) *p = 0;
        else if (*p == 0) *p = 1;
    }
    return kDone;
}

extern "C" int bwremove(unsigned char* mask, int rows, int cols, int maxArea)
{
    return sweepRegions(mask, rows, cols, maxArea, Target::Foreground, ScanLayout::FramedCopy);
}

extern "C" int bwremove1(unsigned char* mask, int rows, int cols, int maxArea)
{
    return sweepRegions(mask, rows, cols, maxArea, Target::Foreground, ScanLayout::MaskItself);
}

extern "C" int bwFillHole(unsigned char* mask, int rows, int cols, int maxArea)
{
    return sweepRegions(mask, rows, cols, maxArea, Target::Background, ScanLayout::FramedCopy);
}

extern "C" int bwFillHole1(unsigned char* mask, int rows, int cols, int maxArea)
{
    return sweepRegions(mask, rows, cols, maxArea, Target::Background, ScanLayout::MaskWithBorderAsFrame);
}
