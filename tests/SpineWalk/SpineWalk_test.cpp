#include "SpineWalk.h"
#include "framed_raster.h"
#include "raster_sizes.h"
#include "skeleton_art.h"
#include "spine_walk.h"
#include "tipscan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr unsigned char kFreeEnd = 1;
constexpr unsigned char kJunction = 2;

struct WalkCase {
    const char* name;
    std::vector<std::string> in, out;
};

const WalkCase kWalkCases[] = {
    {"straight branch between two free ends is one walk", {"1###1"}, {"13331"}},
    {"values other than 0, 1 and 2 are walked like skeleton pixels", {"1#7#1"}, {"13331"}},
    {"a free end inside a branch is walked over and keeps its mark", {"1#1#1"}, {"13131"}},
    {"Y: three free-end branches labelled in scan order of their ends, no junction walk",
     {"1...1", ".#.#.", "..2..", "..#..", "..1.."},
     {"1...1", ".3.4.", "..2..", "..5..", "..1.."}},
    {"branch between two junction pixels is labelled from the first in scan order",
     {"1......1", ".#....#.", "..2##2..", ".#....#.", "1......1"},
     {"1......1", ".3....4.", "..2772..", ".5....6.", "1......1"}},
    {"closed loop without ends or junctions is not walked", {".....", ".###.", ".#.#.", ".###.", "....."},
     {".....", ".###.", ".#.#.", ".###.", "....."}},
    {"junction walks leave by the edges N, W, E, S, then the corners NW, NE, SW, SE",
     {"..#..", "..#..", "##2##", "..#..", "..#.."},
     {"..3..", "..3..", "44255", "..6..", "..6.."}},
    {"junction with corner branches only", {"#...#", ".#.#.", "..2..", ".#.#.", "#...#"},
     {"3...4", ".3.4.", "..2..", ".5.6.", "5...6"}},
    {"walk from an edge neighbour does not see the junction's other edge neighbours",
     {".#...", "..#..", "##2..", "....."},
     {".3...", "..3..", "442..", "....."}},
    {"adjacent junction pixel still starts walks of its own", {"......", "..22##", "......"},
     {"......", "..2233", "......"}},
    {"a pixel with two ways on follows its edge neighbour, never the corner", {"#..", ".1#"}, {"#..", ".13"}},
    {"a junction pixel at a corner starts no walk from its neighbour, only its own walks later",
     {".......", ".##2...", "....2##", "....#..", "....#.."},
     {".......", ".332...", "....244", "....5..", "....5.."}},
    {"an edge neighbour of a junction holding neither 255 nor 2 starts no walk and keeps its value",
     {"......", ".27##.", "......"},
     {"......", ".27##.", "......"}},
};

TEST(SpineWalk, LabelsWorkedShapes)
{
    for (const WalkCase& c : kWalkCases) {
        SCOPED_TRACE(c.name);
        SkeletonRaster image = parseSkeleton(c.in);
        EXPECT_EQ(SpineWalk(image.pixels.data(), image.width, image.height), 1);
        EXPECT_EQ(renderSkeleton(image), c.out);
    }
}

TEST(SpineWalk, FreeEndAndJunctionMarksNeverChange)
{
    for (const WalkCase& c : kWalkCases) {
        SCOPED_TRACE(c.name);
        const SkeletonRaster input = parseSkeleton(c.in);
        SkeletonRaster image = input;
        SpineWalk(image.pixels.data(), image.width, image.height);
        for (std::size_t i = 0; i < input.pixels.size(); ++i) {
            if (input.pixels[i] != kFreeEnd && input.pixels[i] != kJunction) continue;
            EXPECT_EQ(image.pixels[i], input.pixels[i]) << "pixel " << i;
        }
    }
}

// 260 separate branches "1#1", one walk each: walk k writes 3 + k mod 253 into its middle.
TEST(SpineWalk, LabelsPastTheLastRestartAtThreeAndNeverReadAsMarks)
{
    constexpr int kBranches = 260, kPerRow = 20, kWidth = kPerRow * 4, kHeight = kBranches / kPerRow * 2;
    constexpr int kDistinctLabels = 253;
    SkeletonRaster image{kWidth, kHeight, std::vector<unsigned char>(kWidth * kHeight, 0)};
    auto middleOf = [&](int k) -> unsigned char& {
        return image.pixels[(k / kPerRow) * 2 * kWidth + (k % kPerRow) * 4 + 1];
    };
    for (int k = 0; k < kBranches; ++k) {
        unsigned char* middle = &middleOf(k);
        middle[-1] = kFreeEnd;
        middle[0] = kArtSkeleton;
        middle[1] = kFreeEnd;
    }
    SpineWalk(image.pixels.data(), kWidth, kHeight);
    for (int k = 0; k < kBranches; ++k) EXPECT_EQ(middleOf(k), 3 + k % kDistinctLabels) << "branch " << k;
    EXPECT_EQ(middleOf(kDistinctLabels - 1), 255);
    EXPECT_EQ(middleOf(kDistinctLabels), 3);
}

TEST(BranchLabels, CycleThroughThreeToTwoHundredFiftyFive)
{
    spinewalk::BranchLabels labels;
    for (int round = 0; round < 2; ++round)
        for (int expected = 3; expected <= 255; ++expected) ASSERT_EQ(labels.next(), expected);
}

// A refused size: SpineWalk returns 1 and leaves the image as it was.
void expectRefusedUnchanged(const std::vector<unsigned char>& original, RasterSize size)
{
    SCOPED_TRACE(sizeName(size));
    std::vector<unsigned char> image = original;
    EXPECT_EQ(SpineWalk(image.data(), size.cols, size.rows), 1);
    EXPECT_EQ(image, original);
}

TEST(SpineWalk, NullImageOrEmptySizesChangeNothingAndReturnOne)
{
    const std::vector<unsigned char> original = parseSkeleton({"1##", "..1"}).pixels;
    for (const RasterSize size : kEmptyOrNegativeSizes) expectRefusedUnchanged(original, size);
    EXPECT_EQ(SpineWalk(nullptr, 3, 2), 1);
}

// A side of INT_MAX - 1 or more has no framed coordinate in int. The buffer here is tiny, so a
// call that read or wrote the claimed raster would run far outside it.
TEST(SpineWalk, SideTooLargeToFrameChangesNothingAndReturnsOne)
{
    const std::vector<unsigned char> original = parseSkeleton({"1#1"}).pixels;
    for (const RasterSize size : kSidesTooLargeToFrame) expectRefusedUnchanged(original, size);
}

// A host marks the skeleton with FreeEndDetect and hands the marked image to SpineWalk.
TEST(SpineWalk, LabelsTheSkeletonThatFreeEndDetectMarked)
{
    const WalkCase cases[] = {
        {"two forks joined by a bar",
         {"#......#", ".#....#.", "..####..", ".#....#.", "#......#"},
         {"1......1", ".3....4.", "..2772..", ".5....6.", "1......1"}},
        {"a T of edge neighbours is no junction, so the first walk runs through it",
         {"..#..", "..#..", "#####"},
         {"..1..", "..3..", "13341"}},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        SkeletonRaster image = parseSkeleton(c.in);
        std::vector<TipscanPoint> ends(1000), junctions(1000);
        ASSERT_EQ(FreeEndDetect(image.pixels.data(), image.width, image.height, ends.data(), junctions.data()), 1);
        EXPECT_EQ(SpineWalk(image.pixels.data(), image.width, image.height), 1);
        EXPECT_EQ(renderSkeleton(image), c.out);
    }
}

TEST(TraceBranch, StopsBeforeAJunctionPixelAndLeavesIt)
{
    const SkeletonRaster image = parseSkeleton({"##2#"});
    auto working = rastercommon::copyInWithZeroFrame(image.pixels.data(), image.width, image.height);
    auto labels = working;
    spinewalk::traceBranch(working, labels, 1, 1, 9);
    EXPECT_EQ(std::vector<unsigned char>(labels.imageRow(0), labels.imageRow(0) + 4),
              (std::vector<unsigned char>{9, 9, kJunction, 255}));
    EXPECT_EQ(std::vector<unsigned char>(working.imageRow(0), working.imageRow(0) + 4),
              (std::vector<unsigned char>{0, 0, kJunction, 255}));
}

}  // namespace
