#include "routesolo.h"

#include "branch_measure.h"
#include "raster_art.h"
#include "raster_sizes.h"
#include "tip_art.h"
#include "tipscan.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Art = std::vector<std::string>;

constexpr int kArrayRoom = 8;
constexpr float kUnwritten = -1;

// Every output of one call; the summed ones start as the caller is told to set them.
struct Measured {
    int result = 0;
    std::vector<float> lengths = std::vector<float>(kArrayRoom, kUnwritten);
    std::vector<float> distances = std::vector<float>(kArrayRoom, kUnwritten);
    std::vector<double> referenceAngles = std::vector<double>(kArrayRoom, kUnwritten);
    std::vector<double> endAngles = std::vector<double>(kArrayRoom, kUnwritten);
    std::vector<float> straightness = std::vector<float>(kArrayRoom, kUnwritten);
    float meanLength = kUnwritten;
    float meanDistance = 0;
    float meanStraightness = 0;
    double meanReferenceAngle = 0;
    double meanEndAngle = 0;
    float bestScore = 0;
    float totalLength = 0;
    int branchCount = -1;
    Art image;

    void call(std::vector<unsigned char>& raster, int cols, int rows, int bandFirst, int bandColumns)
    {
        result = Wayfind_Single(raster.data(), cols, rows, bandFirst, bandColumns, lengths.data(), distances.data(),
                                referenceAngles.data(), endAngles.data(), straightness.data(), &meanLength,
                                &meanDistance, &meanStraightness, &meanReferenceAngle, &meanEndAngle, &bestScore,
                                &totalLength, &branchCount);
    }
};

int columnsOf(const Art& art) { return static_cast<int>(art[0].size()); }
int rowsOf(const Art& art) { return static_cast<int>(art.size()); }

// Runs Wayfind_Single on art with the tip band given in framed columns.
Measured measureBand(const Art& art, int bandFirst, int bandColumns, Measured m = {})
{
    std::vector<unsigned char> raster = parseArt<unsigned char>(art, tipArtValue);
    m.call(raster, columnsOf(art), rowsOf(art), bandFirst, bandColumns);
    m.image = renderArt(raster, art[0].size(), tipArtChar);
    return m;
}

// The tip band covering every column (framed columns 1 .. cols).
Measured measure(const Art& art, Measured m = {}) { return measureBand(art, 1, columnsOf(art), m); }

Art blankArt(int cols, int rows) { return Art(rows, std::string(cols, '.')); }

constexpr double kAngleTolerance = 5e-6;  // well below the 4e-5 by which pi = 3.14159 shifts 45 degrees

struct WorkedBranch {
    const char* name;
    Art art;
    float length;
    float distance;
    float straightness;
    double endAngle;
};

const WorkedBranch kWorkedBranches[] = {
    {"vertical: tip, one pixel, junction straight above",
     {"..j..",
      "..#..",
      "..e.."},
     3, 2, 2.0f / 3, 0},
    {"diagonal up-right: the step onto the junction counts 1",
     {"...j",
      "..#.",
      ".e.."},
     3, 2.8284271f, 0.9428090f, 44.99996},
    {"a corner step between ordinary pixels counts 1.414",
     {"..j",
      "..#",
      ".#.",
      ".e."},
     4.414f, 3.1622777f, 0.7164200f, 18.434888},
    {"straight left",
     {"j#e"},
     3, 2, 2.0f / 3, -90},
    {"straight right",
     {"e#j"},
     3, 2, 2.0f / 3, 90},
    {"up-left at 45 degrees",
     {"j..",
      ".#.",
      "..e"},
     3, 2.8284271f, 0.9428090f, -44.99996},
    {"straight down",
     {"e",
      "#",
      "j"},
     3, 2, 2.0f / 3, 0},
};

TEST(WayfindSingle, WorkedBranches)
{
    for (const WorkedBranch& c : kWorkedBranches) {
        SCOPED_TRACE(c.name);
        const Measured m = measure(c.art);
        EXPECT_EQ(m.result, 1);
        ASSERT_EQ(m.branchCount, 1);
        EXPECT_FLOAT_EQ(m.lengths[0], c.length);
        EXPECT_FLOAT_EQ(m.distances[0], c.distance);
        EXPECT_FLOAT_EQ(m.straightness[0], c.straightness);
        EXPECT_NEAR(m.endAngles[0], c.endAngle, kAngleTolerance);
        EXPECT_EQ(m.lengths[1], kUnwritten);
        EXPECT_FLOAT_EQ(m.meanLength, c.length);
        EXPECT_FLOAT_EQ(m.totalLength, c.length);
        EXPECT_FLOAT_EQ(m.meanDistance, c.distance);
        EXPECT_NEAR(m.meanEndAngle, std::fabs(c.endAngle), kAngleTolerance);
    }
}

TEST(WayfindSingle, HighlightOf255SkeletonOnlyClearsTheBestTip)
{
    const Measured m = measure({"..j..",
                                "..#..",
                                "..e.."});
    EXPECT_EQ(m.image, (Art{"..j..",
                            "..#..",
                            "....."}));
    EXPECT_FLOAT_EQ(m.bestScore, 3 + 5 - 3);  // length + framed rows (rows + 2) - framed tip row
}

TEST(WayfindSingle, TipWithTwoNeighboursIsNotMeasured)
{
    const Measured m = measure({"j...j",
                                "#...#",
                                "e..#e"});
    ASSERT_EQ(m.branchCount, 1);
    EXPECT_FLOAT_EQ(m.lengths[0], 3);
    EXPECT_EQ(m.lengths[1], kUnwritten);
    EXPECT_EQ(m.image[2], "...#e");  // the measured left tip is the best and is cleared
}

// Bottom row first: the long branch from the lower tip consumes the line that the upper
// tip's short branch joins, so that branch stops on its last own pixel, waiting there.
const Art kJoiningBranches = {".j.....",
                              ".#.....",
                              ".#.....",
                              ".###e..",
                              ".#.....",
                              ".e....."};

TEST(WayfindSingle, BottomRowFirstAndConsumedPixelsEndLaterBranches)
{
    const Measured m = measure(kJoiningBranches);
    ASSERT_EQ(m.branchCount, 2);
    EXPECT_FLOAT_EQ(m.lengths[0], 6);
    EXPECT_FLOAT_EQ(m.distances[0], 5);
    EXPECT_DOUBLE_EQ(m.endAngles[0], 0);
    EXPECT_FLOAT_EQ(m.lengths[1], 3);
    EXPECT_FLOAT_EQ(m.distances[1], 2);
    EXPECT_DOUBLE_EQ(m.endAngles[1], -90);
    EXPECT_FLOAT_EQ(m.totalLength, 9);
    EXPECT_FLOAT_EQ(m.meanLength, 4.5f);
    EXPECT_FLOAT_EQ(m.meanDistance, 3.5f);
    EXPECT_FLOAT_EQ(m.meanStraightness, (5.0f / 6 + 2.0f / 3) / 2);
    EXPECT_DOUBLE_EQ(m.meanEndAngle, 45);        // (|0| + |-90|) / 2
    EXPECT_DOUBLE_EQ(m.meanReferenceAngle, 45);  // both too short for a reference window
    EXPECT_FLOAT_EQ(m.bestScore, 6 + 8 - 6);
}

TEST(WayfindSingle, EqualScoresKeepTheFirstMeasuredAsBest)
{
    const Measured m = measure({"j...j",
                                "o...o",
                                "e...e"});
    ASSERT_EQ(m.branchCount, 2);
    EXPECT_FLOAT_EQ(m.bestScore, 5);
    EXPECT_EQ(m.image, (Art{"j...j",
                            "#...o",
                            "....e"}));
}

// The lower tip's trace runs onto the upper tip; the upper branch scores higher, and its
// highlight starts at the last nonzero pixel of its tip's block: the lower branch's pixel.
TEST(WayfindSingle, HighlightStartsAtLastNonzeroPixelOfTheTipBlock)
{
    const Measured m = measure({"..j....",
                                "..o....",
                                "..o....",
                                "..e....",
                                "...o...",
                                "...o...",
                                "...e..."});
    ASSERT_EQ(m.branchCount, 2);
    EXPECT_FLOAT_EQ(m.lengths[0], 4);  // ends on the upper tip
    EXPECT_FLOAT_EQ(m.lengths[1], 4);
    EXPECT_FLOAT_EQ(m.bestScore, 4 + 9 - 4);
    EXPECT_EQ(m.image, (Art{"..j....",
                            "..o....",
                            "..o....",
                            ".......",
                            "...#...",
                            "...#...",
                            "...e..."}));
}

TEST(WayfindSingle, TraceWithNoWayOnWaitsOnItsPixel)
{
    const Measured m = measure({"...",
                                ".o.",
                                ".e."});
    ASSERT_EQ(m.branchCount, 1);
    EXPECT_FLOAT_EQ(m.lengths[0], 2);
    EXPECT_FLOAT_EQ(m.distances[0], 1);
}

TEST(WayfindSingle, TwoTipsSideBySideEndTheTraceAtOnce)
{
    const Measured m = measure({"ee"});
    ASSERT_EQ(m.branchCount, 1);  // the right tip, scanned next, has no neighbour left
    EXPECT_FLOAT_EQ(m.lengths[0], 2);
    EXPECT_FLOAT_EQ(m.distances[0], 1);
    EXPECT_DOUBLE_EQ(m.endAngles[0], 90);
}

// A tip at the bottom of column 1, its branch running up 25 pixels and then right to a
// junction at column 21 of row 2.
Art upAndRightBranch()
{
    Art art = blankArt(24, 28);
    art[27][1] = 'e';
    for (int y = 2; y <= 26; ++y) art[y][1] = '#';
    for (int x = 2; x <= 20; ++x) art[2][x] = '#';
    art[2][21] = 'j';
    return art;
}

TEST(WayfindSingle, ReferencePointIsTheLastPixelWithLengthFrom21Below30)
{
    const Measured m = measure(upAndRightBranch());
    ASSERT_EQ(m.branchCount, 1);
    EXPECT_FLOAT_EQ(m.lengths[0], 46);
    EXPECT_FLOAT_EQ(m.distances[0], std::sqrt(1025.0f));
    EXPECT_NEAR(m.endAngles[0], 38.659765, kAngleTolerance);
    // Length 29 is reached 4 pixels right of the bend: 4 right, 25 up from the tip.
    EXPECT_NEAR(m.referenceAngles[0], 9.090209, kAngleTolerance);
}

TEST(WayfindSingle, ShortBranchTakesItsTraceEndAsReference)
{
    Art art = upAndRightBranch();
    art[10][10] = 'e';
    art[9][10] = '#';
    art[8][10] = '#';
    art[8][11] = '#';
    art[8][12] = 'j';
    const Measured m = measure(art);
    ASSERT_EQ(m.branchCount, 2);
    EXPECT_NEAR(m.referenceAngles[0], 9.090209, kAngleTolerance);
    EXPECT_FLOAT_EQ(m.lengths[1], 5);
    EXPECT_NEAR(m.endAngles[1], 44.99996, kAngleTolerance);
    EXPECT_DOUBLE_EQ(m.referenceAngles[1], m.endAngles[1]);
}

// A tip under a column of `pixels` ordinary pixels whose top one has the junction up-right
// of it: the trace stands on running lengths 1 .. pixels and reaches pixels + 1 on the junction.
Art columnWithJunctionUpRight(int pixels)
{
    Art art = blankArt(4, pixels + 2);
    art[0][2] = 'j';
    for (int y = 1; y <= pixels; ++y) art[y][1] = '#';
    art[pixels + 1][1] = 'e';
    return art;
}

struct WindowEdgeCase {
    const char* name;
    int pixels;
    float length;
    double endAngle;        // 90 - arctan(rows between tip and junction) in degrees
    double referenceAngle;  // 0 for a reference straight above the tip
};

const WindowEdgeCase kWindowEdgeCases[] = {
    {"BranchReachingLength21OnlyOnItsJunctionTakesItsEndAsReference", 20, 22, 2.7262373, 2.7262373},
    {"ReferenceWindowOpensAtLength21", 21, 23, 2.6024884, 0},
};

TEST(WayfindSingle, ReferenceWindowEdges)
{
    for (const WindowEdgeCase& c : kWindowEdgeCases) {
        SCOPED_TRACE(c.name);
        const Measured m = measure(columnWithJunctionUpRight(c.pixels));
        ASSERT_EQ(m.branchCount, 1);
        EXPECT_FLOAT_EQ(m.lengths[0], c.length);
        EXPECT_NEAR(m.endAngles[0], c.endAngle, kAngleTolerance);
        EXPECT_NEAR(m.referenceAngles[0], c.referenceAngle, kAngleTolerance);
    }
}

TEST(WayfindSingle, TraceStopsAfter1002Passes)
{
    constexpr int kRows = 1105;
    Art art(kRows, "#");
    art.front() = "j";
    art.back() = "e";
    const Measured m = measure(art);
    ASSERT_EQ(m.branchCount, 1);
    // Running length 1 at the start, one per pass, and 1 more for the tip.
    EXPECT_FLOAT_EQ(m.lengths[0], 1 + 1002 + 1);
    EXPECT_FLOAT_EQ(m.distances[0], 1 + 1002);
}

TEST(WayfindSingle, SummedOutputsAddOntoTheCallersValues)
{
    Measured start;
    start.totalLength = 10;
    start.meanDistance = 1;
    start.meanEndAngle = 4;
    start.bestScore = 100;  // above the branch's score 5: nothing is highlighted
    const Art art = {"..j..",
                     "..o..",
                     "..e.."};
    const Measured m = measure(art, start);
    ASSERT_EQ(m.branchCount, 1);
    EXPECT_FLOAT_EQ(m.totalLength, 13);
    EXPECT_FLOAT_EQ(m.meanLength, 13);
    EXPECT_FLOAT_EQ(m.meanDistance, 3);
    EXPECT_DOUBLE_EQ(m.meanEndAngle, 4);
    EXPECT_FLOAT_EQ(m.bestScore, 100);
    EXPECT_EQ(m.image, art);
}

TEST(WayfindSingle, TipsOutsideTheBandAreNotMeasured)
{
    const Art art = {"j.j.j",
                     "#.#.#",
                     "e.e.e"};
    const Measured middle = measureBand(art, 3, 1);  // framed column 3 is image column 2
    ASSERT_EQ(middle.branchCount, 1);
    EXPECT_EQ(middle.image[2], "e...e");
    EXPECT_EQ(measureBand(art, 1, 3).branchCount, 2);
}

struct BandCase {
    const char* name;
    int first;
    int columns;
    int branches;
};

const BandCase kBandCases[] = {
    {"TipBandStartingLeftOfTheImage", -3, 7, 2},
    {"TipBandReachingPastRightEdge", 3, 100, 2},
    {"TipBandWiderThanTheImageOnBothSides", -50, 200, 3},
    {"TipBandEntirelyRightOfTheImage", 7, 5, 0},
    {"TipBandEntirelyLeftOfTheImage", -9, 5, 0},
    {"TipBandOfZeroColumns", 1, 0, 0},
    {"TipBandOfNegativeColumns", 5, -3, 0},
    {"TipBandWhoseLastColumnOverflowsInt", 2, INT_MAX, 2},
    {"TipBandStartingAtMostNegativeInt", INT_MIN, INT_MAX, 0},
};

TEST(WayfindSingle, TipBandIsClippedToTheImage)
{
    const Art art = {"j.j.j",
                     "#.#.#",
                     "e.e.e"};
    for (const BandCase& c : kBandCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(measureBand(art, c.first, c.columns).branchCount, c.branches);
    }
}

TEST(WayfindSingle, NoMeasuredBranchGivesCountZeroAndLeavesTheRestAlone)
{
    Measured start;
    start.meanDistance = 7;
    start.meanStraightness = 7;
    start.meanReferenceAngle = 7;
    start.meanEndAngle = 7;
    start.totalLength = 7;
    start.bestScore = 7;
    const Art art = {"j.#.",
                     "#.#.",
                     "e#e."};  // two tips, each with two neighbours
    const Measured m = measure(art, start);
    EXPECT_EQ(m.result, 1);
    EXPECT_EQ(m.branchCount, 0);
    EXPECT_EQ(m.meanLength, 0);
    EXPECT_EQ(m.meanDistance, 7);
    EXPECT_EQ(m.meanStraightness, 7);
    EXPECT_EQ(m.meanReferenceAngle, 7);
    EXPECT_EQ(m.meanEndAngle, 7);
    EXPECT_EQ(m.totalLength, 7);
    EXPECT_EQ(m.bestScore, 7);
    EXPECT_EQ(m.lengths[0], kUnwritten);
    EXPECT_EQ(m.image, art);
}

TEST(WayfindSingle, RasterWithoutTipsMeasuresNothing)
{
    const Measured m = measure({"j##j", "...."});
    EXPECT_EQ(m.branchCount, 0);
    EXPECT_EQ(m.meanLength, 0);
    EXPECT_FALSE(std::isnan(m.meanDistance));
}

TEST(WayfindSingle, UnusableArgumentsWriteNothing)
{
    const Art art = {"j", "#", "e"};
    for (const RasterSize size : kUnusableSizes) {
        SCOPED_TRACE(sizeName(size));
        std::vector<unsigned char> raster = parseArt<unsigned char>(art, tipArtValue);
        Measured m;
        m.call(raster, size.cols, size.rows, 1, 1);
        EXPECT_EQ(m.result, 1);
        EXPECT_EQ(m.branchCount, -1);
        EXPECT_EQ(m.meanLength, kUnwritten);
        EXPECT_EQ(renderArt(raster, 1, tipArtChar), art);
    }

    Measured m;
    float length = kUnwritten;
    int count = -1;
    EXPECT_EQ(Wayfind_Single(nullptr, 1, 3, 1, 1, &length, &length, m.endAngles.data(), m.endAngles.data(),
                             &length, &length, &length, &length, &m.meanEndAngle, &m.meanEndAngle, &length,
                             &length, &count),
              1);
    EXPECT_EQ(count, -1);
    std::vector<unsigned char> raster = parseArt<unsigned char>(art, tipArtValue);
    EXPECT_EQ(Wayfind_Single(raster.data(), 1, 3, 1, 1, nullptr, &length, m.endAngles.data(), m.endAngles.data(),
                             &length, &length, &length, &length, &m.meanEndAngle, &m.meanEndAngle, &length,
                             &length, &count),
              1);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(Wayfind_Single(raster.data(), 1, 3, 1, 1, &length, &length, m.endAngles.data(), m.endAngles.data(),
                             &length, &length, &length, &length, &m.meanEndAngle, &m.meanEndAngle, &length,
                             &length, nullptr),
              1);
    EXPECT_EQ(length, kUnwritten);
    EXPECT_EQ(renderArt(raster, 1, tipArtChar), art);
}

TEST(WayfindSingle, SecondCallOnTheSameInputGivesTheSameResult)
{
    const Measured first = measure(kJoiningBranches);
    const Measured second = measure(kJoiningBranches);
    EXPECT_EQ(first.lengths, second.lengths);
    EXPECT_EQ(first.endAngles, second.endAngles);
    EXPECT_EQ(first.image, second.image);
}

// The way a host chains the libraries: a 255 skeleton marked by FreeEndDetect, then measured.
TEST(WayfindSingle, MeasuresASkeletonMarkedByFreeEndDetect)
{
    const Art skeleton = {"#.....#",
                          ".#...#.",
                          "..#.#..",
                          "...#...",
                          "...#...",
                          "...#..."};
    std::vector<unsigned char> raster = parseArt<unsigned char>(skeleton, tipArtValue);
    std::vector<TipscanPoint> ends(1000), junctions(1000);
    ASSERT_EQ(FreeEndDetect(raster.data(), 7, 6, ends.data(), junctions.data()), 1);
    const Art marked = renderArt(raster, 7, tipArtChar);
    ASSERT_EQ(marked, (Art{"e.....e",
                           ".#...#.",
                           "..#.#..",
                           "...j...",
                           "...#...",
                           "...e..."}));

    const Measured m = measure(marked);
    ASSERT_EQ(m.branchCount, 3);
    EXPECT_FLOAT_EQ(m.lengths[0], 3);      // the stem, from the bottom tip
    EXPECT_FLOAT_EQ(m.lengths[1], 4.414f);  // two corner steps, the second onto the junction
    EXPECT_FLOAT_EQ(m.lengths[2], 4.414f);
    EXPECT_NEAR(m.endAngles[1], 135.00004, kAngleTolerance);
    EXPECT_NEAR(m.endAngles[2], -135.00004, kAngleTolerance);
    EXPECT_FLOAT_EQ(m.bestScore, 4.414f + 8 - 1);
    EXPECT_EQ(m.image[0], "......e");  // the left upper branch wins the tie and loses its tip
}

TEST(ClipTipBand, KeepsTheColumnsInsideTheImage)
{
    const routesolo::ColumnRange band = routesolo::clipTipBand(-2, 10, 5);
    EXPECT_EQ(band.first, 1);
    EXPECT_EQ(band.last, 5);
}

}  // namespace
