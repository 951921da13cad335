// skeleton_C_Fast and getRidgePoint through their C signatures.
#include "mask_art.h"
#include "skeleton/skeleton.h"
#include "velkleaf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using Export = void (*)(unsigned char*, int, int, unsigned char*);

constexpr unsigned char kSentinel = 7;

struct BadArguments {
    const char* name;
    bool nullSrc, nullDst;
    int rows, cols;
};

// Every call here would read or write past the 16-byte buffers if it went ahead.
const BadArguments kBadArguments[] = {
    {"null src", true, false, 4, 4},
    {"null dst", false, true, 4, 4},
    {"zero rows", false, false, 0, 4},
    {"zero cols", false, false, 4, 0},
    {"negative rows", false, false, -4, 4},
    {"negative cols", false, false, 4, -4},
    {"both negative", false, false, -65536, -65536},
    {"product wraps to zero in 32 bits", false, false, 65536, 65536},
    {"product past INT_MAX", false, false, 2, INT_MAX / 2 + 1},
};

void expectNothingWritten(Export function)
{
    for (const BadArguments& a : kBadArguments) {
        SCOPED_TRACE(a.name);
        std::vector<unsigned char> src(16, 255), dst(16, kSentinel);
        function(a.nullSrc ? nullptr : src.data(), a.rows, a.cols, a.nullDst ? nullptr : dst.data());
        EXPECT_EQ(dst, std::vector<unsigned char>(16, kSentinel));
    }
}

std::vector<unsigned char> bytesOf(const cv::Mat& mask) { return std::vector<unsigned char>(mask.begin<uchar>(), mask.end<uchar>()); }

TEST(SkeletonExport, BadArgumentsWriteNothing)
{
    expectNothingWritten(skeleton_C_Fast);
}

// The scaled path works on an image four times the mask, so its size must leave room.
TEST(SkeletonExport, MaskTooLargeForTheEnlargedImageWritesNothing)
{
    std::vector<unsigned char> src(16, 255), dst(16, kSentinel);
    skeleton_C_Fast(src.data(), 2, static_cast<int>(kMaxSkeletonPixels / 2 + 1), dst.data());
    EXPECT_EQ(dst, std::vector<unsigned char>(16, kSentinel));
}

TEST(SkeletonExport, WritesTheThinnedBand)
{
    std::vector<unsigned char> src = bytesOf(bandMask(5, 11, 1, 3, 1, 9));
    const std::vector<unsigned char> before = src;
    std::vector<unsigned char> dst(src.size(), kSentinel);
    skeleton_C_Fast(src.data(), 5, 11, dst.data());
    EXPECT_EQ(dst, bytesOf(bandMask(5, 11, 2, 2, 3, 8)));
    EXPECT_EQ(src, before);

    std::vector<unsigned char> again(src.size(), kSentinel);
    skeleton_C_Fast(src.data(), 5, 11, again.data());
    EXPECT_EQ(again, dst);
}

TEST(SkeletonExport, LargeMaskTakesTheScaledPathAndKeepsItsInput)
{
    cv::Mat mask(1000, 1000, CV_8UC1, cv::Scalar(0));
    mask(cv::Range(500, 501), cv::Range(100, 900)).setTo(255);
    std::vector<unsigned char> src = bytesOf(mask);
    const std::vector<unsigned char> before = src;
    std::vector<unsigned char> dst(src.size(), kSentinel);
    skeleton_C_Fast(src.data(), 1000, 1000, dst.data());
    EXPECT_EQ(src, before);
    EXPECT_EQ(dst, bytesOf(skeletonFast(mask)));
    EXPECT_GT(std::count_if(dst.begin(), dst.end(), [](unsigned char v) { return v != 0; }), 700)
        << "plain thinning would leave nothing of a one-pixel line";
}

TEST(RidgePointExport, BadArgumentsWriteNothing)
{
    expectNothingWritten(getRidgePoint);
}

TEST(RidgePointExport, WritesEveryByte)
{
    std::vector<unsigned char> src = bytesOf(bandMask(41, 60, 18, 22, 5, 54));
    const std::vector<unsigned char> before = src;
    std::vector<unsigned char> dst(src.size(), kSentinel);
    getRidgePoint(src.data(), 41, 60, dst.data());
    EXPECT_EQ(src, before);
    EXPECT_EQ(dst, bytesOf(ridgePoints(bandMask(41, 60, 18, 22, 5, 54))));

    std::vector<unsigned char> flat(2 * 6, 255), flatDst(flat.size(), kSentinel);
    getRidgePoint(flat.data(), 2, 6, flatDst.data());
    EXPECT_EQ(flatDst, std::vector<unsigned char>(flat.size(), 0)) << "two rows have no interior pixel";
}

}  // namespace
