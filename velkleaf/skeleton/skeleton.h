// Skeletonization operations shared by the exports and the leaf pipeline.
// All take const matrices and return new ones unless they say otherwise.
#ifndef LEAFKIT_VELKLEAF_SKELETON_H
#define LEAFKIT_VELKLEAF_SKELETON_H

#include <opencv2/core.hpp>

// Thinning of an 8-bit one-channel mask to lines one pixel wide, masked to pixels at
// least two pixels deep inside the shape. Empty or multi-channel input: empty result.
cv::Mat skeletonThinning(const cv::Mat& src);

// Euclidean distance of every pixel to the nearest zero pixel (CV_32FC1, 3 x 3 mask).
cv::Mat distanceMap(const cv::Mat& src);

// 255 where any channel of src is nonzero, 0 elsewhere (8-bit, one channel).
cv::Mat nonzeroMask(const cv::Mat& src);

// dst becomes image kept where nonzeroMask(maskSource) is 255 and 0 elsewhere;
// dst may be the same matrix as image.
void maskedCopy(cv::Mat& dst, const cv::Mat& image, const cv::Mat& maskSource);

// The skeleton of an 8-bit one-channel mask at its own size; images of
// kLargeImagePixels or more take the scaled path.
cv::Mat skeletonFast(const cv::Mat& src);

// dst becomes src resized with its aspect ratio kept to just fit boxWidth x boxHeight.
void resizeToFit(const cv::Mat& src, cv::Mat& dst, int boxWidth, int boxHeight);

// In place: every nonzero pixel becomes value.
void binarizeImage(cv::Mat& image, unsigned char value);

// Filled discs of radius distance(r, c) at every nonzero pixel of seeds.
cv::Mat drawDistanceDiscs(const cv::Mat& distance, const cv::Mat& seeds);

// Minimal 8-connected skeleton (0/255) by table-driven removal of simple points.
cv::Mat lutThinning(const cv::Mat& src);

// Shows image in the blocking preview window until a key is pressed.
void debugShow(const cv::Mat& image);

#endif
