// Flood fill with an explicit stack over a small-integer label image.
#include "leaf/largest_region.h"

#include <opencv2/imgproc.hpp>

#include <cstddef>
#include <cstring>
#include <memory>

namespace Velk::MatOperation::PixelProcessOperations {

void BiInputBinaryImagePixelProcessFunction::apply(const cv::Mat& first, const cv::Mat& second, cv::Mat& out) const
{
    if (first.isContinuous() && second.isContinuous() && out.isContinuous()) {
        process(first.ptr<unsigned char>(), second.ptr<unsigned char>(), out.ptr<unsigned char>(),
                static_cast<int>(first.total()));
        return;
    }
    for (int row = 0; row < first.rows; ++row)
        process(first.ptr<unsigned char>(row), second.ptr<unsigned char>(row), out.ptr<unsigned char>(row),
                first.cols);
}

void ImageSetterForConnectedRegionDetect::process(const unsigned char* first, const unsigned char* second,
                                                  unsigned char* out, int count) const
{
    for (int i = 0; i < count; ++i) {
        if (second[i] == 0)
            out[i] = kLabelExcluded;
        else
            out[i] = first[i] != 0 ? kLabelUnreached : kLabelBackground;
    }
}

}  // namespace Velk::MatOperation::PixelProcessOperations

namespace {

// Room for a flood over an image of ten million pixels without growing.
constexpr std::size_t kInitialStackCapacity = 15'000'000;
// Regions of this many pixels or more are not listed.
constexpr std::size_t kMaxRegionPixels = 10'000'000;

// A position on the label image; neighbours are reached by pointer offsets.
struct PixelCursor {
    unsigned char* label;
    const cv::Mat* labels;  // its column count is the row stride
    int row;
    int col;

    PixelCursor moved(int dx, int dy) const
    {
        return PixelCursor{label + dy * labels->cols + dx, labels, row + dy, col + dx};
    }
};

// Slot 0 is never used: the top element lives at index count. Grows by doubling.
class CursorStack {
public:
    CursorStack() : slots_(new PixelCursor[kInitialStackCapacity]), capacity_(kInitialStackCapacity) {}

    bool empty() const { return count_ == 0; }
    const PixelCursor& top() const { return slots_[count_]; }
    void pop()
    {
        if (count_ > 0) --count_;
    }
    void push(const PixelCursor& cursor)
    {
        if (count_ >= capacity_ - 2) grow();
        slots_[++count_] = cursor;
    }

private:
    void grow()
    {
        std::unique_ptr<PixelCursor[]> larger(new PixelCursor[capacity_ * 2]);
        std::memcpy(larger.get(), slots_.get(), capacity_ * sizeof(PixelCursor));
        slots_ = std::move(larger);
        capacity_ *= 2;
    }

    std::unique_ptr<PixelCursor[]> slots_;
    std::size_t capacity_;
    std::size_t count_ = 0;
};

// Up-left, up, up-right, left, right, down-left, down, down-right.
constexpr int kFloodDx[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kFloodDy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};

bool isInterior(const cv::Mat& labels, int row, int col)
{
    return row >= 1 && row <= labels.rows - 2 && col >= 1 && col <= labels.cols - 2;
}

void floodRegion(cv::Mat& labels, int seedRow, int seedCol, CursorStack& stack, Region& points)
{
    stack.push(PixelCursor{labels.ptr<unsigned char>(seedRow) + seedCol, &labels, seedRow, seedCol});
    while (!stack.empty()) {
        const PixelCursor cursor = stack.top();
        stack.pop();
        if (!isInterior(labels, cursor.row, cursor.col) || *cursor.label == kLabelRecorded) continue;
        *cursor.label = kLabelRecorded;
        points.emplace_back(cursor.col, cursor.row);
        for (int k = 0; k < 8; ++k) {
            const PixelCursor next = cursor.moved(kFloodDx[k], kFloodDy[k]);
            if (*next.label != kLabelUnreached) continue;
            *next.label = kLabelQueued;
            if (isInterior(labels, next.row, next.col)) stack.push(next);
        }
    }
}

}  // namespace

void buildRegionLabelImage(const cv::Mat& mask, cv::Mat& labels, const cv::Mat& restrict)
{
    if (mask.empty() || mask.channels() > 1) {
        labels = cv::Mat();
        return;
    }
    if (restrict.empty()) {
        cv::Mat foreground;
        cv::threshold(mask, foreground, 0.1, 1.0, cv::THRESH_BINARY);
        labels = cv::Mat::zeros(mask.size(), CV_8UC1) + 2.0 * foreground;
        return;
    }
    if (restrict.channels() != 1 || restrict.size() != mask.size()) {
        labels = cv::Mat();
        return;
    }
    labels = cv::Mat::zeros(mask.size(), CV_8UC1);
    Velk::MatOperation::PixelProcessOperations::ImageSetterForConnectedRegionDetect().apply(mask, restrict, labels);
}

bool findConnectedRegions(const cv::Mat& mask, RegionList& regions)
{
    if (mask.empty() || mask.channels() > 1) return false;
    CursorStack stack;
    Region points;
    points.reserve(kMaxRegionPixels);

    cv::Mat labels;
    buildRegionLabelImage(mask, labels, cv::Mat());
    // A zero frame keeps every neighbour read inside the image.
    cv::rectangle(labels, cv::Point(0, 0), cv::Point(labels.cols - 1, labels.rows - 1), cv::Scalar(0), 1, 8, 0);

    regions.clear();
    for (int row = 1; row <= labels.rows - 2; ++row)
        for (int col = 1; col <= labels.cols - 2; ++col) {
            if (labels.at<unsigned char>(row, col) != kLabelUnreached) continue;
            floodRegion(labels, row, col, stack, points);
            if (!points.empty() && points.size() < kMaxRegionPixels) regions.push_back(points);
            points.clear();
        }
    return true;
}

void paintRegion(const Region& region, cv::Mat& image)
{
    if (image.empty() || image.channels() > 1) return;
    for (const cv::Point& p : region) image.at<unsigned char>(p.y, p.x) = 255;
}

bool keepLargestRegion(const cv::Mat& mask, cv::Mat& result)
{
    RegionList regions;
    findConnectedRegions(mask, regions);
    std::size_t largest = 0;
    std::size_t largestSize = 0;
    for (std::size_t i = 0; i < regions.size(); ++i)
        if (regions[i].size() > largestSize) {
            largest = i;
            largestSize = regions[i].size();
        }
    cv::Mat painted = cv::Mat::zeros(mask.size(), CV_8UC1);
    if (!regions.empty()) paintRegion(regions[largest], painted);
    result = painted.clone();
    return true;
}
