// Skeletonization operations shared by the exports and the leaf pipeline.
// All take const matrices and return new ones unless they say otherwise.
#ifndef LEAFKIT_VELKLEAF_SKELETON_H
#define LEAFKIT_VELKLEAF_SKELETON_H

#include <opencv2/core.hpp>

#include <array>
#include <climits>
#include <cstdint>

// Foreground value of the 0/255 masks that these operations build.
constexpr uchar kMaskForeground = 255;

// Masks of this many pixels or more are skeletonized through the scaled path of
// skeletonFast; the count is taken in 64 bits so that no product of sizes wraps.
constexpr std::int64_t kLargeImagePixels = 1'000'000;

// Largest mask that may be passed to skeletonFast: its scaled path enlarges each side
// twice, and OpenCV counts the pixels of an image in an int.
constexpr std::int64_t kMaxSkeletonPixels = INT_MAX / 4;

// True when a rows x cols mask takes the scaled path of skeletonFast.
bool isLargeImage(int rows, int cols);

// True when image has pixels and one channel: the input that thinning, skeletons and
// ridge points need; they give an empty result for any other.
bool isSingleChannelImage(const cv::Mat& image);

// Thinning of an 8-bit one-channel mask to lines one pixel wide, masked to pixels at
// least two pixels deep inside the shape. Empty or multi-channel input: empty result.
cv::Mat skeletonThinning(const cv::Mat& src);

// Euclidean distance of every pixel to the nearest zero pixel (CV_32FC1, 3 x 3 mask).
cv::Mat distanceMap(const cv::Mat& src);

// 255 where any channel of src is nonzero, 0 elsewhere (8-bit, one channel). Empty src:
// empty result.
cv::Mat nonzeroMask(const cv::Mat& src);

// dst becomes image kept where nonzeroMask(maskSource) is 255 and 0 elsewhere;
// dst may be the same matrix as image.
void maskedCopy(cv::Mat& dst, const cv::Mat& image, const cv::Mat& maskSource);

// The skeleton of an 8-bit one-channel mask at its own size; images of
// kLargeImagePixels or more take the scaled path. src holds at most kMaxSkeletonPixels.
cv::Mat skeletonFast(const cv::Mat& src);

// dst becomes src resized with its aspect ratio kept to just fit boxWidth x boxHeight.
// Sides round halves to even and never below one pixel; empty src gives empty dst.
void resizeToFit(const cv::Mat& src, cv::Mat& dst, int boxWidth, int boxHeight);

// In place: every nonzero pixel becomes value.
void binarizeImage(cv::Mat& image, unsigned char value);

// Filled discs of radius distance(r, c) at every nonzero pixel of seeds.
cv::Mat drawDistanceDiscs(const cv::Mat& distance, const cv::Mat& seeds);

// First stage of the ridge points: at every interior foreground pixel of mask whose
// distance is a local maximum, the distance truncated to an integer and saturated at
// 255; 0 elsewhere (8-bit).
cv::Mat ridgeMap(const cv::Mat& mask, const cv::Mat& distance);

// 255 at the ridge points of an 8-bit one-channel mask, 0 elsewhere; the thin parts
// are widened by discs before the second search. Empty or multi-channel input: empty result.
cv::Mat ridgePoints(const cv::Mat& mask);

// Entry k is 1 when the pixel whose neighbour code is k may be deleted: a simple point
// (8-connected foreground, 4-connected background) with at least two foreground neighbours.
extern const std::array<std::uint8_t, 256> thinningLut;

// Minimal 8-connected skeleton (0/255) by table-driven removal of simple points.
cv::Mat lutThinning(const cv::Mat& src);

// Shows image in the blocking preview window until a key is pressed.
// An empty image shows nothing and returns at once.
void debugShow(const cv::Mat& image);

#endif
