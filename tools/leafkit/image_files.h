// Reading images in the forms the libraries take, and writing results, through
// OpenCV's image codecs. Every reader throws std::runtime_error with one line
// naming the file and the reason ("x.png: not a readable PNG, TIFF, BMP or JPEG image").
#pragma once

#include <opencv2/core.hpp>

#include <filesystem>
#include <string>

namespace leafkit {

// A JPEG mask pixel is plant when its brightest colour channel reaches this level:
// lossy compression leaves small nonzero values in the background near edges.
constexpr int kJpegPlantLevel = 128;

// 8-bit one-channel 0/255 mask: 255 where any colour channel is nonzero (alpha is
// ignored), or for JPEG files where the brightest channel is at least kJpegPlantLevel.
cv::Mat readPlantMask(const std::filesystem::path& path);

// 8-bit one-channel image with the file's raw values (gray levels, skeleton marks,
// labels). Colour files are converted to gray; 16-bit values are scaled to 8 bits.
cv::Mat readGrayImage(const std::filesystem::path& path);

// 8-bit three-channel image in blue, green, red order; gray files are expanded.
cv::Mat readColourImage(const std::filesystem::path& path);

// 32-bit float one-channel image (float TIFFs keep their values; integer files
// keep their levels).
cv::Mat readFloatImage(const std::filesystem::path& path);

// Encodes image in the format that path's extension names (.png, .tif, .bmp, ...)
// and writes it atomically. Throws std::runtime_error on failure.
void writeImage(const std::filesystem::path& path, const cv::Mat& image);

// A 0/1 mask as 0/255, for writing and viewing.
cv::Mat maskToVisible(const cv::Mat& zeroOneMask);

// True when the extension is one of the readable image formats (case-insensitive).
bool hasImageExtension(const std::filesystem::path& path);

}  // namespace leafkit
