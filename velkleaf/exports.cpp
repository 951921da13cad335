// The export boundary: check the arguments, wrap the caller's buffers, call, copy out.
#include "velkleaf.h"

#include "graph/skeleton_graph.h"
#include "leaf/leaf_extraction.h"
#include "skeleton/skeleton.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// Both sizes positive, both buffers present, and at most maxPixels pixels.
bool isUsableRaster(const unsigned char* src, const unsigned char* dst, int rows, int cols, std::int64_t maxPixels)
{
    return src != nullptr && dst != nullptr && rows > 0 && cols > 0 && std::int64_t{rows} * cols <= maxPixels;
}

// Wraps the caller's rows x cols bytes without copying; the matrix is only read.
cv::Mat wrapCallerMask(unsigned char* src, int rows, int cols) { return cv::Mat(rows, cols, CV_8UC1, src); }

// Copies an 8-bit one-channel image row by row into the caller's buffer of its size.
void copyToCaller(const cv::Mat& image, unsigned char* dst)
{
    const std::size_t rowBytes = static_cast<std::size_t>(image.cols);
    for (int r = 0; r < image.rows; ++r) std::memcpy(dst + r * rowBytes, image.ptr<uchar>(r), rowBytes);
}

// The junction and branch tables of the leaf extraction: one pair per process, created
// empty at load and left filled between calls, as hosts know them.
SkeletonGraph leafGraph;

// Legacy callers size the per-leaf arrays themselves; nothing limits the entries written.
constexpr std::int64_t kUnboundedLeaves = std::numeric_limits<std::int64_t>::max();

// The mask and every output present, sizes positive and within what skeletonFast takes.
bool isUsableLeafRequest(const unsigned char* image, int rows, int cols, const LeafOutputs& out)
{
    const bool outputsPresent = out.leafCount && out.tipPoints && out.baseAngles && out.chordAngles
                                && out.basePoints && out.leafLengths && out.chordLengths && out.stemDiameter
                                && out.overlayRed && out.overlayBlue && out.overlayGreen;
    return outputsPresent && isUsableRaster(image, out.overlayRed, rows, cols, kMaxSkeletonPixels);
}

void extractLeavesForCaller(const unsigned char* image, int rows, int cols, bool showDebug, const LeafOutputs& out)
{
    extractLeaves(wrapCallerMask(const_cast<unsigned char*>(image), rows, cols), showDebug, leafGraph, out);
}

}  // namespace

extern "C" VELKLEAF_API void skeleton_C_Fast(unsigned char* src, int rows, int cols, unsigned char* dst)
{
    if (!isUsableRaster(src, dst, rows, cols, kMaxSkeletonPixels)) return;
    copyToCaller(skeletonFast(wrapCallerMask(src, rows, cols)), dst);
}

extern "C" VELKLEAF_API void getRidgePoint(unsigned char* src, int rows, int cols, unsigned char* dst)
{
    if (!isUsableRaster(src, dst, rows, cols, INT_MAX)) return;
    copyToCaller(ridgePoints(wrapCallerMask(src, rows, cols)), dst);
}

extern "C" VELKLEAF_API void maizeSingleLeafExtraction_auto(const unsigned char* image, int rows, int cols,
                                                            int* leafCount, int* tipPoints, double* baseAngles,
                                                            double* chordAngles, int* basePoints, double* leafLengths,
                                                            double* chordLengths, double* stemDiameter,
                                                            unsigned char* overlayRed, unsigned char* overlayBlue,
                                                            unsigned char* overlayGreen, bool showDebug)
{
    const LeafOutputs out{leafCount,    tipPoints,    baseAngles, chordAngles, basePoints,   leafLengths,
                          chordLengths, stemDiameter, overlayRed, overlayBlue, overlayGreen, kUnboundedLeaves};
    if (!isUsableLeafRequest(image, rows, cols, out)) return;
    extractLeavesForCaller(image, rows, cols, showDebug, out);
}

extern "C" VELKLEAF_API void maizeSingleLeafExtraction_autoN(const unsigned char* image, int rows, int cols,
                                                             int* leafCount, int* tipPoints, double* baseAngles,
                                                             double* chordAngles, int* basePoints,
                                                             double* leafLengths, double* chordLengths,
                                                             double* stemDiameter, unsigned char* overlayRed,
                                                             unsigned char* overlayBlue, unsigned char* overlayGreen,
                                                             bool showDebug, int capacity)
{
    const LeafOutputs out{leafCount,    tipPoints,    baseAngles, chordAngles, basePoints,   leafLengths,
                          chordLengths, stemDiameter, overlayRed, overlayBlue, overlayGreen, capacity};
    if (capacity < 0 || !isUsableLeafRequest(image, rows, cols, out)) return;
    // The count is reported also when no tip is found, where the legacy export leaves it alone.
    *leafCount = 0;
    extractLeavesForCaller(image, rows, cols, showDebug, out);
}
