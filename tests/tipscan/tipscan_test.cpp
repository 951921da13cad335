#include "end_junction_table.h"
#include "framed_raster.h"
#include "raster_sizes.h"
#include "skeleton_art.h"
#include "tipscan.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

// Found by argument lookup only in the namespace of the C record type.
bool operator==(TipscanPoint a, TipscanPoint b) { return a.x == b.x && a.y == b.y; }
std::ostream& operator<<(std::ostream& os, TipscanPoint p) { return os << '(' << p.x << ", " << p.y << ')'; }

namespace {

using tipscan::kEndJunctionTable;

constexpr unsigned kCodes = 256;
constexpr std::size_t kArrayCapacity = 1000;
constexpr std::size_t kGuardRecords = 8;  // records past the capacity that must stay untouched
constexpr TipscanPoint kUnwritten = {-1, -1};

// Ring positions 0..7 run clockwise from north-west, so a quarter turn moves each bit by two.
unsigned rotateQuarter(unsigned code) { return ((code << 2) | (code >> 6)) & 0xFF; }

// Left-right mirror: NW<->NE, W<->E, SW<->SE; N and S stay.
unsigned mirror(unsigned code)
{
    constexpr unsigned kMirrorOf[8] = {2, 1, 0, 7, 6, 5, 4, 3};
    unsigned mirrored = 0;
    for (unsigned i = 0; i < 8; ++i)
        if (code & (1u << i)) mirrored |= 1u << kMirrorOf[i];
    return mirrored;
}

enum Ring : unsigned { NW = 1, N = 2, NE = 4, E = 8, SE = 16, S = 32, SW = 64, W = 128 };

const std::set<unsigned> kEndCodes = {1, 2, 3, 4, 6, 8, 12, 16, 24, 32, 48, 64, 96, 128, 129, 192};
const std::set<unsigned> kJunctionCodes = {21,  37,  41,  45,  53,  57,  69,  73,  74,  75,  77,  78,
                                           81,  82,  83,  84,  85,  86,  89,  90,  101, 105, 146, 147,
                                           148, 149, 150, 164, 165, 170, 180, 210, 212, 228};

TEST(EndJunctionTable, MarksExactlyTheListedCodes)
{
    for (unsigned code = 0; code < kCodes; ++code) {
        SCOPED_TRACE(code);
        const unsigned expected = kEndCodes.count(code) ? 1 : kJunctionCodes.count(code) ? 2 : 0;
        EXPECT_EQ(kEndJunctionTable[code], expected);
    }
}

TEST(EndJunctionTable, UnchangedByQuarterTurnsAndMirroring)
{
    for (unsigned code = 0; code < kCodes; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(kEndJunctionTable[rotateQuarter(code)], kEndJunctionTable[code]);
        EXPECT_EQ(kEndJunctionTable[mirror(code)], kEndJunctionTable[code]);
    }
}

TEST(EndJunctionTable, LeavesTheEdgeTIsolatedPixelAndCrowdedPixelsUnmarked)
{
    EXPECT_EQ(kEndJunctionTable[W | E | S], 0);  // 168
    EXPECT_EQ(kEndJunctionTable[0], 0);
    for (unsigned code = 0; code < kCodes; ++code) {
        if (__builtin_popcount(code) < 5) continue;
        EXPECT_EQ(kEndJunctionTable[code], 0) << code;
    }
}

// Regenerates the table from its defining rule: free ends have one neighbour or two
// neighbouring ones on the ring; junction pixels are the eight patterns in all their
// rotations and mirror images.
TEST(EndJunctionTable, FollowsItsDefiningRule)
{
    std::set<unsigned> ends;
    for (unsigned i = 0; i < 8; ++i) {
        ends.insert(1u << i);
        ends.insert((1u << i) | (1u << ((i + 1) % 8)));
    }
    const unsigned patterns[] = {NW | NE | SE,     NW | NE | S,      NW | E | S,       NW | NE | E | S,
                                 NW | NE | SE | S, NW | E | SE | S,  NW | NE | SE | SW, N | E | S | W};
    std::set<unsigned> junctions;
    for (unsigned pattern : patterns)
        for (unsigned code : {pattern, mirror(pattern)})
            for (int turn = 0; turn < 4; ++turn, code = rotateQuarter(code)) junctions.insert(code);

    EXPECT_EQ(ends, kEndCodes);
    EXPECT_EQ(junctions, kJunctionCodes);
}

TEST(RingCode, WeighsEachNeighbourClockwiseFromNorthWest)
{
    struct Case {
        std::vector<std::string> art;  // the pixel in the middle, one neighbour
        unsigned code;
    };
    const Case cases[] = {
        {{"#..", ".#.", "..."}, 1},   {{".#.", ".#.", "..."}, 2},  {{"..#", ".#.", "..."}, 4},
        {{"...", ".##", "..."}, 8},   {{"...", ".#.", "..#"}, 16}, {{"...", ".#.", ".#."}, 32},
        {{"...", ".#.", "#.."}, 64},  {{"...", "##.", "..."}, 128}, {{"###", "#.#", "###"}, 255},
        {{"171", "2#2", "171"}, 0},  // only exactly 255 counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const SkeletonRaster raster = parseSkeleton(c.art);
        const auto framed = rastercommon::copyInWithZeroFrame(raster.pixels.data(), raster.width, raster.height);
        EXPECT_EQ(tipscan::ringCode(framed, 2, 2), c.code);
    }
}

// Positions where expected holds mark and input held a skeleton pixel, in scan order.
std::vector<TipscanPoint> newMarks(const SkeletonRaster& input, const SkeletonRaster& expected, unsigned char mark)
{
    std::vector<TipscanPoint> points;
    for (int y = 0; y < input.height; ++y)
        for (int x = 0; x < input.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * input.width + x;
            if (input.pixels[i] == kArtSkeleton && expected.pixels[i] == mark) points.push_back({x, y});
        }
    return points;
}

struct Records {
    std::vector<TipscanPoint> ends = std::vector<TipscanPoint>(kArrayCapacity + kGuardRecords, kUnwritten);
    std::vector<TipscanPoint> junctions = std::vector<TipscanPoint>(kArrayCapacity + kGuardRecords, kUnwritten);
};

std::vector<TipscanPoint> written(const std::vector<TipscanPoint>& records)
{
    std::vector<TipscanPoint> prefix;
    for (TipscanPoint p : records) {
        if (p == kUnwritten) break;
        prefix.push_back(p);
    }
    return prefix;
}

struct MarkCase {
    const char* name;
    std::vector<std::string> in, out;
};

const MarkCase kMarkCases[] = {
    {"isolated pixel stays unmarked", {"...", ".#.", "..."}, {"...", ".#.", "..."}},
    {"both ends of a straight line are free ends, inner pixels stay",
     {"......", ".####.", "......"},
     {"......", ".1##1.", "......"}},
    {"end whose two neighbours touch each other (north and north-east, 6)", {".##", ".#."}, {".#1", ".1."}},
    {"centre of an X of diagonals (85) is a junction",
     {"#...#", ".#.#.", "..#..", ".#.#.", "#...#"},
     {"1...1", ".#.#.", "..2..", ".#.#.", "1...1"}},
    {"centre of a + of straight lines (170) is a junction",
     {"..#..", "..#..", "#####", "..#..", "..#.."},
     {"..1..", "..#..", "1#2#1", "..#..", "..1.."}},
    {"fork of a Y (37) is a junction",
     {"#...#", ".#.#.", "..#..", "..#..", "..#.."},
     {"1...1", ".#.#.", "..2..", "..#..", "..1.."}},
    {"T of three edge neighbours (168) is not marked",
     {".....", "#####", "..#..", "..#.."},
     {".....", "1###1", "..#..", "..1.."}},
    {"pixels on the outermost rows and columns see the frame as background",
     {"#..#", "#..#"},
     {"1..1", "1..1"}},
    {"values other than 255 are background and stay as they are", {"#7##", "2..."}, {"#711", "2..."}},
};

TEST(FreeEndDetect, MarksWorkedShapesAndListsThemInScanOrder)
{
    for (const MarkCase& c : kMarkCases) {
        SCOPED_TRACE(c.name);
        SkeletonRaster image = parseSkeleton(c.in);
        const SkeletonRaster expected = parseSkeleton(c.out);
        Records records;
        EXPECT_EQ(FreeEndDetect(image.pixels.data(), image.width, image.height, records.ends.data(),
                                records.junctions.data()),
                  1);
        EXPECT_EQ(renderSkeleton(image), c.out);
        EXPECT_EQ(written(records.ends), newMarks(parseSkeleton(c.in), expected, 1));
        EXPECT_EQ(written(records.junctions), newMarks(parseSkeleton(c.in), expected, 2));
    }
}

TEST(FreeEndDetect, SecondCallSeesMarksAsBackground)
{
    SkeletonRaster image = parseSkeleton({"#...#", ".#.#.", "..#..", ".#.#.", "#...#"});
    Records first;
    FreeEndDetect(image.pixels.data(), image.width, image.height, first.ends.data(), first.junctions.data());
    Records second;
    FreeEndDetect(image.pixels.data(), image.width, image.height, second.ends.data(), second.junctions.data());
    EXPECT_EQ(written(first.ends).size(), 4u);
    EXPECT_EQ(written(first.junctions).size(), 1u);
    // The diagonal pixels lost their only skeleton neighbours to the marks.
    EXPECT_TRUE(written(second.ends).empty());
    EXPECT_TRUE(written(second.junctions).empty());
    EXPECT_EQ(renderSkeleton(image), (std::vector<std::string>{"1...1", ".#.#.", "..2..", ".#.#.", "1...1"}));
}

std::size_t countValue(const std::vector<unsigned char>& pixels, unsigned char value)
{
    std::size_t count = 0;
    for (unsigned char p : pixels) count += p == value;
    return count;
}

// Rows 0, 2, 4, ... hold two-pixel bars at columns 3k and 3k + 1: each bar pixel is a
// free end, 40 per row, 1200 in all.
TEST(FreeEndDetect, MoreThanCapacityFreeEndsAreAllMarkedButOnlyCapacityListed)
{
    constexpr int kWidth = 60, kHeight = 60, kEndsPerRow = 40;
    SkeletonRaster image{kWidth, kHeight, std::vector<unsigned char>(kWidth * kHeight, 0)};
    for (int y = 0; y < kHeight; y += 2)
        for (int x = 0; x + 1 < kWidth; x += 3) {
            image.pixels[y * kWidth + x] = kArtSkeleton;
            image.pixels[y * kWidth + x + 1] = kArtSkeleton;
        }
    Records records;
    FreeEndDetect(image.pixels.data(), kWidth, kHeight, records.ends.data(), records.junctions.data());

    EXPECT_EQ(countValue(image.pixels, 1), 1200u);
    EXPECT_EQ(countValue(image.pixels, kArtSkeleton), 0u);
    for (std::size_t i = 0; i < kArrayCapacity; ++i) {
        const int inRow = static_cast<int>(i % kEndsPerRow);
        const TipscanPoint expected = {3 * (inRow / 2) + inRow % 2, 2 * static_cast<int>(i / kEndsPerRow)};
        ASSERT_EQ(records.ends[i], expected) << "record " << i;
    }
    for (std::size_t i = kArrayCapacity; i < records.ends.size(); ++i) EXPECT_EQ(records.ends[i], kUnwritten);
    EXPECT_EQ(records.junctions.front(), kUnwritten);
}

// A 50 x 50 checkerboard: every inner skeleton pixel has all four corner neighbours (an X),
// 48 * 48 / 2 = 1152 junction pixels; the two skeleton corners of the image are free ends.
TEST(FreeEndDetect, MoreThanCapacityJunctionPixelsAreAllMarkedButOnlyCapacityListed)
{
    constexpr int kSide = 50, kJunctionsPerRow = 24;
    SkeletonRaster image{kSide, kSide, std::vector<unsigned char>(kSide * kSide, 0)};
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if ((x + y) % 2 == 0) image.pixels[y * kSide + x] = kArtSkeleton;
    Records records;
    FreeEndDetect(image.pixels.data(), kSide, kSide, records.ends.data(), records.junctions.data());

    EXPECT_EQ(countValue(image.pixels, 2), 1152u);
    EXPECT_EQ(written(records.ends), (std::vector<TipscanPoint>{{0, 0}, {49, 49}}));
    for (std::size_t i = 0; i < kArrayCapacity; ++i) {
        const int y = 1 + static_cast<int>(i / kJunctionsPerRow);
        const int firstX = y % 2 == 1 ? 1 : 2;
        const TipscanPoint expected = {firstX + 2 * static_cast<int>(i % kJunctionsPerRow), y};
        ASSERT_EQ(records.junctions[i], expected) << "record " << i;
    }
    for (std::size_t i = kArrayCapacity; i < records.junctions.size(); ++i)
        EXPECT_EQ(records.junctions[i], kUnwritten);
}

// A refused size: FreeEndDetect returns 0 and leaves the image and both arrays as they were.
void expectRefusedUntouched(const std::vector<unsigned char>& original, RasterSize size)
{
    SCOPED_TRACE(sizeName(size));
    std::vector<unsigned char> image = original;
    Records records;
    EXPECT_EQ(FreeEndDetect(image.data(), size.cols, size.rows, records.ends.data(), records.junctions.data()), 0);
    EXPECT_EQ(image, original);
    EXPECT_EQ(records.ends.front(), kUnwritten);
    EXPECT_EQ(records.junctions.front(), kUnwritten);
}

TEST(FreeEndDetect, NullImageOrEmptySizesScanNothingAndWriteNothing)
{
    const std::vector<unsigned char> original = parseSkeleton({"#.#", "###"}).pixels;
    for (const RasterSize size : kEmptyOrNegativeSizes) expectRefusedUntouched(original, size);
    Records records;
    EXPECT_EQ(FreeEndDetect(nullptr, 3, 2, records.ends.data(), records.junctions.data()), 0);
    EXPECT_EQ(records.ends.front(), kUnwritten);
    EXPECT_EQ(records.junctions.front(), kUnwritten);
}

// A side of INT_MAX - 1 or more has no framed coordinate in int. The buffer here is tiny, so a
// call that read or wrote the claimed raster would run far outside it.
TEST(FreeEndDetect, SideTooLargeToFrameScansNothingAndWritesNothing)
{
    const std::vector<unsigned char> original = parseSkeleton({"##"}).pixels;
    for (const RasterSize size : kSidesTooLargeToFrame) expectRefusedUntouched(original, size);
}

TEST(FreeEndDetect, NullArrayReceivesNothingWhileTheImageIsStillMarked)
{
    const std::vector<std::string> yShape = {"#...#", ".#.#.", "..#..", "..#..", "..#.."};
    const std::vector<std::string> marked = {"1...1", ".#.#.", "..2..", "..#..", "..1.."};

    SkeletonRaster image = parseSkeleton(yShape);
    Records records;
    EXPECT_EQ(FreeEndDetect(image.pixels.data(), image.width, image.height, nullptr, records.junctions.data()), 1);
    EXPECT_EQ(renderSkeleton(image), marked);
    EXPECT_EQ(written(records.junctions), (std::vector<TipscanPoint>{{2, 2}}));

    image = parseSkeleton(yShape);
    EXPECT_EQ(FreeEndDetect(image.pixels.data(), image.width, image.height, records.ends.data(), nullptr), 1);
    EXPECT_EQ(renderSkeleton(image), marked);
    EXPECT_EQ(written(records.ends), (std::vector<TipscanPoint>{{0, 0}, {4, 0}, {2, 4}}));
}

}  // namespace
