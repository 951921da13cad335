// The export boundary: check the arguments, wrap the caller's buffers, call, copy out.
#include "velkleaf.h"

#include "skeleton/skeleton.h"

#include <climits>
#include <cstdint>
#include <cstring>

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
