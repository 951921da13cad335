// Table-driven removal of simple points down to a minimal 8-connected skeleton.
#include "skeleton/skeleton.h"

#include <vector>

// Indexed by the neighbour code: the background bits of SW 1, S 2, SE 4, W 8, E 16,
// NW 32, N 64, NE 128. 1 marks a simple point with at least two foreground neighbours.
const std::array<std::uint8_t, 256> thinningLut = {
    0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1,
    1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
    0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1,
    1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
    1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 1, 1, 0, 1,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1,
    1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
    0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1,
    1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0,
    1, 1, 0, 0, 1, 1, 1, 0, 1, 1, 0, 0, 1, 0, 0, 0,
};

namespace {

constexpr std::uint8_t kBackground = 0;
constexpr std::uint8_t kForeground = 1;

// The mask inside a one-pixel frame of foreground, so that pixels outside the image
// act as foreground neighbours and no test needs a bounds check.
class FramedMask {
public:
    explicit FramedMask(const cv::Mat& src)
        : rows_(src.rows), cols_(src.cols), stride_(src.cols + 2),
          pixels_(static_cast<std::size_t>(src.rows + 2) * stride_, kForeground)
    {
        for (int r = 1; r <= rows_; ++r) {
            const uchar* row = src.ptr<uchar>(r - 1);
            for (int c = 1; c <= cols_; ++c) at(r, c) = row[c - 1] != 0 ? kForeground : kBackground;
        }
    }

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    bool isForeground(int r, int c) const { return at(r, c) == kForeground; }
    bool isBackground(int r, int c) const { return at(r, c) == kBackground; }
    void clear(int r, int c) { at(r, c) = kBackground; }

    int neighbourCode(int r, int c) const
    {
        return isBackground(r + 1, c - 1) * 1 + isBackground(r + 1, c) * 2 + isBackground(r + 1, c + 1) * 4 +
               isBackground(r, c - 1) * 8 + isBackground(r, c + 1) * 16 + isBackground(r - 1, c - 1) * 32 +
               isBackground(r - 1, c) * 64 + isBackground(r - 1, c + 1) * 128;
    }

private:
    // Working position (r, c), frame included; the image occupies rows 1..rows, columns 1..cols.
    std::uint8_t& at(int r, int c) { return pixels_[static_cast<std::size_t>(r) * stride_ + c]; }
    std::uint8_t at(int r, int c) const { return pixels_[static_cast<std::size_t>(r) * stride_ + c]; }

    int rows_;
    int cols_;
    std::size_t stride_;
    std::vector<std::uint8_t> pixels_;
};

// Deletes (r, c) when the table allows it; true when it did.
bool deleteIfSimple(FramedMask& mask, int r, int c)
{
    if (thinningLut[mask.neighbourCode(r, c)] == 0) return false;
    mask.clear(r, c);
    return true;
}

// Rows from the bottom up, each from left to right; candidates have a background
// west or east neighbour. After a deletion the pixel to the east is not examined.
bool rowPass(FramedMask& mask)
{
    bool deleted = false;
    for (int r = mask.rows(); r >= 1; --r) {
        for (int c = 1; c <= mask.cols(); ++c) {
            const bool candidate =
                mask.isForeground(r, c) && (mask.isBackground(r, c - 1) || mask.isBackground(r, c + 1));
            if (candidate && deleteIfSimple(mask, r, c)) {
                deleted = true;
                ++c;
            }
        }
    }
    return deleted;
}

// Columns from left to right, each from the bottom up; candidates have a background
// north or south neighbour. After a deletion the pixel to the north is not examined.
bool columnPass(FramedMask& mask)
{
    bool deleted = false;
    for (int c = 1; c <= mask.cols(); ++c) {
        for (int r = mask.rows(); r >= 1; --r) {
            const bool candidate =
                mask.isForeground(r, c) && (mask.isBackground(r - 1, c) || mask.isBackground(r + 1, c));
            if (candidate && deleteIfSimple(mask, r, c)) {
                deleted = true;
                --r;
            }
        }
    }
    return deleted;
}

cv::Mat toImage(const FramedMask& mask)
{
    cv::Mat image(mask.rows(), mask.cols(), CV_8UC1, cv::Scalar(0));
    for (int r = 0; r < mask.rows(); ++r) {
        uchar* row = image.ptr<uchar>(r);
        for (int c = 0; c < mask.cols(); ++c) row[c] = mask.isForeground(r + 1, c + 1) ? kMaskForeground : 0;
    }
    return image;
}

}  // namespace

cv::Mat lutThinning(const cv::Mat& src)
{
    if (!isSingleChannelImage(src)) return cv::Mat();
    FramedMask mask(src);
    for (;;) {
        const bool rowsDeleted = rowPass(mask);
        const bool columnsDeleted = columnPass(mask);
        if (!rowsDeleted && !columnsDeleted) break;
    }
    return toImage(mask);
}
