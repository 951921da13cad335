#include "tipscan.h"

#include "end_junction_table.h"
#include "framed_raster.h"

#include <algorithm>
#include <cstddef>
#include <vector>

static_assert(sizeof(TipscanPoint) == 8, "a point record is two 32-bit ints");

namespace tipscan {

unsigned ringCode(const rastercommon::FramedRaster& framed, int x, int y)
{
    unsigned code = 0;
    for (unsigned i = 0; i < 8; ++i)
        if (framed.at(x + kRing[i].dx, y + kRing[i].dy) == kSkeletonPixel) code |= 1u << i;
    return code;
}

namespace {

using rastercommon::FramedRaster;

// Room of each working list, and so the most records written to each caller array.
constexpr std::size_t kListCapacity = 1000;

constexpr int kScanned = 1;
constexpr int kNothingScanned = 0;

struct FoundPoints {
    std::vector<TipscanPoint> ends;
    std::vector<TipscanPoint> junctions;
};

void appendWithinCapacity(std::vector<TipscanPoint>& list, int x, int y)
{
    if (list.size() < kListCapacity) list.push_back({x, y});
}

// Classifies every skeleton pixel of the framed copy, which the marks never change, and
// marks free ends and junction pixels in image (the caller raster the copy was made from).
FoundPoints markEndsAndJunctions(const FramedRaster& framed, unsigned char* image)
{
    FoundPoints found;
    found.ends.reserve(kListCapacity);
    found.junctions.reserve(kListCapacity);
    for (int y = 0; y < framed.rows; ++y) {
        unsigned char* imageRow = image + static_cast<std::size_t>(y) * framed.cols;
        for (int x = 0; x < framed.cols; ++x) {
            if (framed.at(x + 1, y + 1) != kSkeletonPixel) continue;
            const unsigned char kind = kEndJunctionTable[ringCode(framed, x + 1, y + 1)];
            if (kind == kNeither) continue;
            imageRow[x] = kind;
            appendWithinCapacity(kind == kFreeEnd ? found.ends : found.junctions, x, y);
        }
    }
    return found;
}

void copyRecords(const std::vector<TipscanPoint>& list, TipscanPoint* destination)
{
    if (destination) std::copy(list.begin(), list.end(), destination);
}

}  // namespace
}  // namespace tipscan

extern "C" int FreeEndDetect(unsigned char* image, int width, int height, TipscanPoint* ends,
                             TipscanPoint* junctions)
{
    using namespace tipscan;
    if (!image || !rastercommon::isUsableSize(width, height)) return kNothingScanned;
    const auto framed = rastercommon::copyInWithZeroFrame(image, width, height);
    const FoundPoints found = markEndsAndJunctions(framed, image);
    copyRecords(found.ends, ends);
    copyRecords(found.junctions, junctions);
    return kScanned;
}
