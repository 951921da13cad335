// Reduction of a plant mask to its largest 8-connected foreground region.
#ifndef LEAFKIT_VELKLEAF_LARGEST_REGION_H
#define LEAFKIT_VELKLEAF_LARGEST_REGION_H

#include <opencv2/core.hpp>

#include <vector>

using Region = std::vector<cv::Point>;  // flood order
using RegionList = std::vector<Region>;  // order of the seeds in the raster scan

// Labels of the region label image.
constexpr unsigned char kLabelBackground = 0;
constexpr unsigned char kLabelExcluded = 1;
constexpr unsigned char kLabelUnreached = 2;
constexpr unsigned char kLabelQueued = 3;
constexpr unsigned char kLabelRecorded = 4;

namespace Velk::MatOperation::PixelProcessOperations {

// An operation on runs of pixels of two 8-bit inputs writing one 8-bit output; the base
// walks the images, a derived class says what happens to each run.
class BiInputBinaryImagePixelProcessFunction {
public:
    // Declared first, so the run operation holds the first virtual-table slot.
    virtual void process(const unsigned char* first, const unsigned char* second, unsigned char* out,
                         int count) const = 0;
    virtual ~BiInputBinaryImagePixelProcessFunction() = default;

    // Applies process to all pixels of three one-channel images of one size: in one run
    // when all three are continuous, else row by row.
    void apply(const cv::Mat& first, const cv::Mat& second, cv::Mat& out) const;
};

// Label 1 outside the restriction (second input 0); inside it 2 on foreground, 0 else.
class ImageSetterForConnectedRegionDetect : private BiInputBinaryImagePixelProcessFunction {
public:
    using BiInputBinaryImagePixelProcessFunction::apply;
    void process(const unsigned char* first, const unsigned char* second, unsigned char* out,
                 int count) const override;
};

}  // namespace Velk::MatOperation::PixelProcessOperations

// result becomes a new 0/255 image holding only the largest region; mask and result may
// be the same matrix. Returns true.
bool keepLargestRegion(const cv::Mat& mask, cv::Mat& result);

// Lists the 8-connected regions (image frame excluded). False for an empty or
// multi-channel mask, regions then untouched.
bool findConnectedRegions(const cv::Mat& mask, RegionList& regions);

// Label image of mask; restrict (optional, empty = none) excludes where it is 0.
void buildRegionLabelImage(const cv::Mat& mask, cv::Mat& labels, const cv::Mat& restrict);

// 255 at every point of region.
void paintRegion(const Region& region, cv::Mat& image);

#endif
