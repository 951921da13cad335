#include "Wayfind.h"

#include "leaf_path.h"
#include "raster_art.h"
#include "raster_sizes.h"
#include "tip_art.h"
#include "tipscan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Art = std::vector<std::string>;

constexpr int kUnwritten = -7;
constexpr float kUnwrittenFloat = -7;

struct Extracted {
    int result = kUnwritten;
    int innerColumn = kUnwritten;
    int innerRow = kUnwritten;
    float angle = kUnwrittenFloat;
    float distance = kUnwrittenFloat;
    Art image;
};

Extracted extract(const Art& art)
{
    std::vector<unsigned char> raster = parseArt<unsigned char>(art, tipArtValue);
    Extracted e;
    e.result = Wayfind_forleaf(raster.data(), static_cast<int>(art[0].size()), static_cast<int>(art.size()),
                               &e.innerColumn, &e.innerRow, nullptr, nullptr, &e.angle, nullptr, &e.distance);
    e.image = renderArt(raster, art[0].size(), tipArtChar);
    return e;
}

constexpr float kAngleTolerance = 1e-5f;

TEST(WayfindForleaf, WorkedExampleMarginsDistanceAndAngle)
{
    // J at framed (10, 5) and T at framed (12, 40) in an image 100 columns wide.
    Art art(45, std::string(100, '.'));
    art[4][9] = 'j';
    art[39][11] = 'e';
    const Extracted e = extract(art);
    EXPECT_EQ(e.innerColumn, 12);  // margin(T) = 12 beats margin(J) = 5
    EXPECT_EQ(e.innerRow, 40);
    EXPECT_NEAR(e.distance, 35.057096f, 1e-4f);  // square root of 4 + 1225
    EXPECT_NEAR(e.angle, -86.729585f, kAngleTolerance);
    EXPECT_EQ(e.result, 45 + 2 - 40);
    EXPECT_EQ(e.image[4][9], '@');
    EXPECT_EQ(e.image[39][11], '@');
}

struct LeafCase {
    const char* name;
    Art in;
    Art out;
    int innerColumn;
    int innerRow;
    float distance;
    float angle;
    int result;
};

const LeafCase kLeafCases[] = {
    {"same column: angle 0, distance the row difference; the base tip is never traced",
     {"..j..",
      "..#..",
      "..#..",
      "..e.."},
     {"..@..",
      "..#..",
      "..#..",
      "..@.."},
     3, 4, 3, 0, 2},
    {"junction deeper inside than the base tip is the inner point",
     {"........",
      "........",
      "....j...",
      "...#....",
      "..#.....",
      ".#......",
      "e......."},
     {"........",
      "........",
      "....@...",
      "...#....",
      "..#.....",
      ".#......",
      "@......."},
     5, 3, 5.6568542f, 45.000038f, 6},
    {"equal margins: the base tip is the inner point; outer point up-right gives about 225",
     {"......",
      "...j..",
      "..#...",
      ".e...."},
     {"......",
      "...@..",
      "..#...",
      ".@...."},
     2, 4, 2.8284271f, 225.000038f, 2},
    {"an end or junction neighbour wins over an ordinary one earlier in scan order",
     {"#.....",
      ".#....",
      "..#j..",
      ".e..#.",
      "....e."},
     {"#.....",
      ".#....",
      "..*@..",
      ".e..#.",
      "....@."},
     5, 5, 2.2360680f, -63.435002f, 2},
    {"a tip whose only neighbour is the junction marks nothing",
     {".e...",
      "..j..",
      "..#..",
      "..e.."},
     {".e...",
      "..@..",
      "..#..",
      "..@.."},
     3, 4, 2, 0, 2},
    {"a tip with two neighbours is not traced and keeps its value",
     {"#....",
      "e.j..",
      "#.#..",
      "..e.."},
     {"#....",
      "e.@..",
      "#.#..",
      "..@.."},
     3, 4, 2, 0, 2},
    {"leaf traces from every other tip run to the junction, the end pixel unmarked",
     {"e.....e",
      ".#...#.",
      "..#j#..",
      "...#...",
      "...e..."},
     {"e.....e",
      ".*...*.",
      "..*@*..",
      "...#...",
      "...@..."},
     4, 5, 2, 0, 2},
    {"the junction point is the topmost junction and the base tip the lowest tip",
     {"....j.",
      ".j..#.",
      ".#..#.",
      ".e..#.",
      "....e."},
     {"....@.",
      ".j..#.",
      ".*..#.",
      ".e..#.",
      "....@."},
     5, 5, 4, 0, 2},
    {"within their row the junction point and the base tip are the leftmost",
     {".j..j.",
      ".#..#.",
      ".e..e."},
     {".@..j.",
      ".#..*.",
      ".@..e."},
     2, 3, 2, 0, 2},
};

TEST(WayfindForleaf, LeafCases)
{
    for (const LeafCase& c : kLeafCases) {
        SCOPED_TRACE(c.name);
        const Extracted e = extract(c.in);
        EXPECT_EQ(e.image, c.out);
        EXPECT_EQ(e.innerColumn, c.innerColumn);
        EXPECT_EQ(e.innerRow, c.innerRow);
        EXPECT_FLOAT_EQ(e.distance, c.distance);
        EXPECT_NEAR(e.angle, c.angle, kAngleTolerance);
        EXPECT_EQ(e.result, c.result);
    }
}

TEST(WayfindForleaf, LeafTraceStopsAfter1002Passes)
{
    // A tip at the top of column 0 with a line of 1100 pixels below it; the base tip stands
    // apart in column 2.
    Art art(1104, "...");
    art[0][0] = 'e';
    for (int y = 1; y <= 1100; ++y) art[y][0] = '#';
    art[1101][0] = 'j';
    art[1103][2] = 'e';
    const Extracted e = extract(art);
    int marked = 0;
    for (const std::string& row : e.image) marked += row[0] == '*';
    EXPECT_EQ(marked, 1002);
    EXPECT_EQ(e.image[1002][0], '*');
    EXPECT_EQ(e.image[1003][0], '#');
}

TEST(WayfindForleaf, NoJunctionReturnsZeroAndLeavesThePointOutputsAlone)
{
    const Extracted e = extract({"e....",
                                 ".#...",
                                 "..#..",
                                 "..e.."});
    EXPECT_EQ(e.result, 0);
    EXPECT_EQ(e.innerColumn, kUnwritten);
    EXPECT_EQ(e.innerRow, kUnwritten);
    EXPECT_EQ(e.angle, kUnwrittenFloat);
    EXPECT_EQ(e.distance, 0);
    EXPECT_EQ(e.image, (Art{"e....",
                            ".*...",
                            "..#..",
                            "..@.."}));
}

TEST(WayfindForleaf, NoTipReturnsZeroAndLeavesThePointOutputsAlone)
{
    const Extracted e = extract({"#.#",
                                 ".j.",
                                 ".#."});
    EXPECT_EQ(e.result, 0);
    EXPECT_EQ(e.innerColumn, kUnwritten);
    EXPECT_EQ(e.innerRow, kUnwritten);
    EXPECT_EQ(e.angle, kUnwrittenFloat);
    EXPECT_EQ(e.distance, 0);
    EXPECT_EQ(e.image, (Art{"#.#",
                            ".@.",
                            ".#."}));
}

TEST(WayfindForleaf, UnusableArgumentsWriteNothing)
{
    const Art art = {"j", "#", "e"};
    for (const RasterSize size : kUnusableSizes) {
        SCOPED_TRACE(sizeName(size));
        std::vector<unsigned char> raster = parseArt<unsigned char>(art, tipArtValue);
        Extracted e;
        e.result = Wayfind_forleaf(raster.data(), size.cols, size.rows, &e.innerColumn, &e.innerRow, nullptr,
                                   nullptr, &e.angle, nullptr, &e.distance);
        EXPECT_EQ(e.result, 0);
        EXPECT_EQ(e.innerRow, kUnwritten);
        EXPECT_EQ(e.distance, kUnwrittenFloat);
        EXPECT_EQ(renderArt(raster, 1, tipArtChar), art);
    }

    std::vector<unsigned char> raster = parseArt<unsigned char>(art, tipArtValue);
    Extracted e;
    EXPECT_EQ(Wayfind_forleaf(nullptr, 1, 3, &e.innerColumn, &e.innerRow, nullptr, nullptr, &e.angle, nullptr,
                              &e.distance),
              0);
    EXPECT_EQ(Wayfind_forleaf(raster.data(), 1, 3, nullptr, &e.innerRow, nullptr, nullptr, &e.angle, nullptr,
                              &e.distance),
              0);
    EXPECT_EQ(Wayfind_forleaf(raster.data(), 1, 3, &e.innerColumn, &e.innerRow, nullptr, nullptr, &e.angle,
                              nullptr, nullptr),
              0);
    EXPECT_EQ(e.innerRow, kUnwritten);
    EXPECT_EQ(e.distance, kUnwrittenFloat);
    EXPECT_EQ(renderArt(raster, 1, tipArtChar), art);
}

// The way a host chains the libraries: a 255 skeleton marked by FreeEndDetect, then traced.
TEST(WayfindForleaf, ExtractsASkeletonMarkedByFreeEndDetect)
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
    const Extracted e = extract(renderArt(raster, 7, tipArtChar));
    EXPECT_EQ(e.image, (Art{"e.....e",
                            ".*...*.",
                            "..*.*..",
                            "...@...",
                            "...#...",
                            "...@..."}));
    EXPECT_EQ(e.innerColumn, 4);  // equal margins 4: the base tip
    EXPECT_EQ(e.innerRow, 6);
    EXPECT_EQ(e.distance, 2);
    EXPECT_EQ(e.angle, 0);
    EXPECT_EQ(e.result, 2);
}

TEST(Margin, IsTheDistanceToTheNearestOfLeftRightAndTop)
{
    EXPECT_EQ(wayfind::margin({10, 5}, 100), 5);
    EXPECT_EQ(wayfind::margin({12, 40}, 100), 12);
    EXPECT_EQ(wayfind::margin({98, 40}, 100), 4);  // (cols + 2) - x
}

}  // namespace
