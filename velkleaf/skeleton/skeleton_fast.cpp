// Skeleton at the mask's own size; very large masks are thinned at a reduced size first.
#include "skeleton/skeleton.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Box into which the thick shape of a large mask is fitted for the first thinning.
constexpr int kCoarseThinningBox = 2000;

// The coarse skeleton is enlarged to this multiple of the mask's size before it is
// thickened and brought back, so that the band it leaves follows the full-size grid.
constexpr int kSkeletonEnlargement = 2;

// One dilation with OpenCV's default 3 x 3 rectangle.
void dilateOnce(cv::Mat& image)
{
    cv::dilate(image, image, cv::Mat(), cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
               cv::morphologyDefaultBorderValue());
}

// Halves round to the even integer; a side never shrinks to nothing.
int scaledSide(int side, double scale) { return std::max(1, static_cast<int>(std::nearbyint(side * scale))); }

cv::Mat largeImageSkeleton(const cv::Mat& src)
{
    cv::Mat coarse = src.clone();
    dilateOnce(coarse);
    resizeToFit(coarse, coarse, kCoarseThinningBox, kCoarseThinningBox);
    binarizeImage(coarse, kMaskForeground);

    cv::Mat band = skeletonThinning(coarse);
    resizeToFit(band, band, kSkeletonEnlargement * src.cols, kSkeletonEnlargement * src.rows);
    binarizeImage(band, kMaskForeground);
    dilateOnce(band);
    dilateOnce(band);
    cv::resize(band, band, cv::Size(src.cols, src.rows), 0, 0, cv::INTER_LINEAR);
    return skeletonThinning(band);
}

}  // namespace

bool isLargeImage(int rows, int cols) { return std::int64_t{rows} * cols >= kLargeImagePixels; }

cv::Mat skeletonFast(const cv::Mat& src)
{
    if (!isSingleChannelImage(src)) return cv::Mat();
    if (!isLargeImage(src.rows, src.cols)) return skeletonThinning(src);
    return largeImageSkeleton(src);
}

void resizeToFit(const cv::Mat& src, cv::Mat& dst, int boxWidth, int boxHeight)
{
    if (src.empty()) {
        dst = src.clone();
        return;
    }
    const double scale = std::min(static_cast<double>(boxWidth) / src.cols, static_cast<double>(boxHeight) / src.rows);
    cv::Mat resized;
    cv::resize(src, resized, cv::Size(scaledSide(src.cols, scale), scaledSide(src.rows, scale)), 0, 0,
               cv::INTER_LINEAR);
    dst = resized;
}

void binarizeImage(cv::Mat& image, unsigned char value) { cv::threshold(image, image, 0, value, cv::THRESH_BINARY); }
