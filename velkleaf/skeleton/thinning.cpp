// Parallel thinning in two sub-iterations, masked to pixels at least two pixels deep.
#include "skeleton/skeleton.h"

#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

// Pixels whose rounded distance to the background is at least 2 pass the distance mask.
constexpr double kDistanceMaskThreshold = 1.1;

// Neighbours of p, clockwise from north:   P9 P2 P3
//                                           P8 p  P4
//                                           P7 P6 P5
// Each holds 1 for foreground and 0 for background.
struct Neighbourhood {
    int p2, p3, p4, p5, p6, p7, p8, p9;

    // B(p): the number of foreground neighbours.
    int count() const { return p2 + p3 + p4 + p5 + p6 + p7 + p8 + p9; }

    // A(p): background-to-foreground steps around the closed sequence P2 .. P9, P2.
    int transitions() const
    {
        const int ring[] = {p2, p3, p4, p5, p6, p7, p8, p9, p2};
        int steps = 0;
        for (int i = 0; i < 8; ++i) steps += (ring[i] == 0 && ring[i + 1] == 1);
        return steps;
    }
};

enum class SubIteration { First, Second };

int isForeground(uchar value) { return value != 0; }

// In the first sub-iteration the north-east and south-east neighbours count only
// when they hold the full foreground value.
int isFullForeground(uchar value) { return value == kMaskForeground; }

Neighbourhood neighbourhoodAt(const uchar* above, const uchar* row, const uchar* below, int c, SubIteration pass)
{
    const auto diagonalEast = pass == SubIteration::First ? isFullForeground : isForeground;
    return {isForeground(above[c]),     diagonalEast(above[c + 1]), isForeground(row[c + 1]),
            diagonalEast(below[c + 1]), isForeground(below[c]),     isForeground(below[c - 1]),
            isForeground(row[c - 1]),   isForeground(above[c - 1])};
}

bool isDeletable(const Neighbourhood& n, SubIteration pass)
{
    const int b = n.count();
    if (b < 2 || b > 6 || n.transitions() != 1) return false;
    if (pass == SubIteration::First) return n.p2 * n.p6 * n.p8 == 0 && n.p4 * n.p6 * n.p8 == 0;
    return n.p2 * n.p4 * n.p6 == 0 && n.p2 * n.p4 * n.p8 == 0;
}

// Marks the deletable interior pixels of image without changing it, so that every
// test of one sub-iteration sees the image as it stood before the sub-iteration.
void collectCandidates(const cv::Mat& image, SubIteration pass, std::vector<cv::Point>& candidates)
{
    for (int r = 1; r < image.rows - 1; ++r) {
        const uchar* above = image.ptr<uchar>(r - 1);
        const uchar* row = image.ptr<uchar>(r);
        const uchar* below = image.ptr<uchar>(r + 1);
        for (int c = 1; c < image.cols - 1; ++c) {
            if (row[c] != 0 && isDeletable(neighbourhoodAt(above, row, below, c, pass), pass))
                candidates.emplace_back(c, r);
        }
    }
}

// Runs one sub-iteration; false when it marked nothing, which ends the thinning.
bool thinOnce(cv::Mat& image, SubIteration pass, std::vector<cv::Point>& candidates)
{
    collectCandidates(image, pass, candidates);
    if (candidates.empty()) return false;
    for (const cv::Point& p : candidates) image.at<uchar>(p) = 0;
    candidates.clear();
    return true;
}

}  // namespace

bool isSingleChannelImage(const cv::Mat& image) { return !image.empty() && image.channels() == 1; }

cv::Mat skeletonThinning(const cv::Mat& src)
{
    if (!isSingleChannelImage(src)) return cv::Mat();

    cv::Mat distanceMask = distanceMap(src);
    distanceMask.convertTo(distanceMask, CV_8U);
    cv::threshold(distanceMask, distanceMask, kDistanceMaskThreshold, kMaskForeground, cv::THRESH_BINARY);

    cv::Mat working = src.clone();
    std::vector<cv::Point> candidates;
    while (thinOnce(working, SubIteration::First, candidates) &&
           thinOnce(working, SubIteration::Second, candidates)) {
    }
    maskedCopy(working, working, distanceMask);
    return working;
}

cv::Mat distanceMap(const cv::Mat& src)
{
    if (!isSingleChannelImage(src)) return cv::Mat();
    cv::Mat distance(src.rows, src.cols, CV_32FC1, cv::Scalar(0));
    cv::distanceTransform(src, distance, cv::DIST_L2, 3);
    return distance;
}

cv::Mat nonzeroMask(const cv::Mat& src)
{
    if (src.empty()) return cv::Mat();
    std::vector<cv::Mat> channels;
    cv::split(src, channels);
    for (cv::Mat& channel : channels) cv::threshold(channel, channel, 0, 10, cv::THRESH_BINARY);
    cv::Mat sum = channels[0].clone();
    for (std::size_t i = 1; i < channels.size(); ++i) cv::add(sum, channels[i], sum);
    cv::threshold(sum, sum, 0, kMaskForeground, cv::THRESH_BINARY);
    return sum;
}

void maskedCopy(cv::Mat& dst, const cv::Mat& image, const cv::Mat& maskSource)
{
    if (image.empty() || maskSource.empty() || image.rows != maskSource.rows || image.cols != maskSource.cols) {
        dst = image.clone();
        return;
    }
    // Built in fresh memory, so image is read completely even when it is dst itself.
    cv::Mat kept(image.size(), image.type(), cv::Scalar::all(0));
    cv::add(image, kept, kept, nonzeroMask(maskSource));
    dst = kept;
}
