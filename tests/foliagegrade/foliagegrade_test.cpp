#include "foliagegrade.h"

#include "raster_art.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using ClassTable = std::array<float, 6>;

unsigned char plantValue(char c) { return c == '#' ? 1 : 0; }

struct Densities {
    std::vector<float> values;
    int blockColumns;
};

Densities leafDensities(const std::vector<std::string>& art, int blockSide)
{
    const std::vector<unsigned char> mask = parseArt<unsigned char>(art, plantValue);
    Densities out{std::vector<float>(mask.size(), 0.0f), 0};
    out.blockColumns = CalLeafDens(mask.data(), static_cast<int>(art.size()), static_cast<int>(art[0].size()),
                                   blockSide, out.values.data());
    return out;
}

struct DensityCase {
    const char* name;
    std::vector<std::string> mask;
    int blockSide;
    std::vector<float> expected;
    int blockColumns;
};

constexpr float kThird = 3.0f / 9.0f;
constexpr float kNinth = 1.0f / 9.0f;

const DensityCase kDensityCases[] = {
    {"single plant pixel in a 4 x 4 block",
     {"....", ".#..", "....", "...."}, 4,
     {0, 0, 0, 0,  0, 1.0f / 16, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0}, 1},
    {"partial blocks divide by the full block area",
     {"##....",
      "#..#..",
      "......",
      "...###"}, 3,
     {kThird, kThird, 0, 0,     0, 0,
      kThird, 0,      0, kNinth, 0, 0,
      0,      0,      0, 0,     0, 0,
      0,      0,      0, kThird, kThird, kThird}, 2},
};

TEST(CalLeafDens, BlockDensities)
{
    for (const DensityCase& c : kDensityCases) {
        SCOPED_TRACE(c.name);
        const Densities d = leafDensities(c.mask, c.blockSide);
        EXPECT_EQ(d.values, c.expected);
        EXPECT_EQ(d.blockColumns, c.blockColumns);
    }
}

TEST(CalLeafDens, FullTenByTenInBlocksOfFive)
{
    const Densities d = leafDensities(std::vector<std::string>(10, std::string(10, '#')), 5);
    EXPECT_EQ(d.values, std::vector<float>(100, 1.0f));
    EXPECT_EQ(d.blockColumns, 2);
}

TEST(CalLeafDens, SevenBySevenInBlocksOfFive)
{
    const Densities d = leafDensities(std::vector<std::string>(7, std::string(7, '#')), 5);
    EXPECT_EQ(d.blockColumns, 2);
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 7; ++col) {
            const float expected = row < 5 && col < 5 ? 1.0f : row < 5 || col < 5 ? 10.0f / 25 : 4.0f / 25;
            EXPECT_EQ(d.values[row * 7 + col], expected) << row << ", " << col;
        }
}

TEST(CalLeafDens, AddsAtPlantPixelsAndNeverWritesBackground)
{
    const std::vector<unsigned char> mask = parseArt<unsigned char>({"#.", ".."}, plantValue);
    std::vector<float> density(4, 0.5f);
    CalLeafDens(mask.data(), 2, 2, 2, density.data());
    EXPECT_EQ(density, (std::vector<float>{0.75f, 0.5f, 0.5f, 0.5f}));
}

TEST(CalLeafDens, NonPositiveBlockSideWritesNothingAndReturnsZero)
{
    const std::vector<unsigned char> mask(4, 1);
    for (int side : {0, -1, INT_MIN}) {
        std::vector<float> density(4, 0.0f);
        EXPECT_EQ(CalLeafDens(mask.data(), 2, 2, side, density.data()), 0) << side;
        EXPECT_EQ(density, std::vector<float>(4, 0.0f));
    }
}

TEST(CalLeafDens, UnusableBuffersOrSizesWriteNothing)
{
    const std::vector<unsigned char> mask(4, 1);
    std::vector<float> density(4, 0.0f);
    EXPECT_EQ(CalLeafDens(nullptr, 2, 2, 1, density.data()), 2);
    EXPECT_EQ(CalLeafDens(mask.data(), 0, 3, 2, density.data()), 2);
    EXPECT_EQ(CalLeafDens(mask.data(), -2, 2, 1, density.data()), 2);
    EXPECT_EQ(CalLeafDens(mask.data(), 2, 0, 1, density.data()), 0);
    EXPECT_EQ(CalLeafDens(mask.data(), 2, -2, 1, density.data()), 0);
    EXPECT_EQ(CalLeafDens(mask.data(), 2, 2, 1, nullptr), 2);
    EXPECT_EQ(density, std::vector<float>(4, 0.0f));
}

TEST(CalLeafDens, BlockColumnCountNearIntMax)
{
    // ceil((2^31 - 1) / 2) = 2^30, without forming cols + side - 1.
    EXPECT_EQ(CalLeafDens(nullptr, 1, INT_MAX, 2, nullptr), 1 << 30);
    EXPECT_EQ(CalLeafDens(nullptr, 1, INT_MAX, INT_MAX, nullptr), 1);
}

TEST(CalLeafDens, BlockAreaBeyondIntRange)
{
    // 46341^2 = 2147488281 does not fit an int; the one plant pixel still gets 1 / 46341^2.
    const unsigned char mask[] = {1};
    float density[] = {0.0f};
    EXPECT_EQ(CalLeafDens(mask, 1, 1, 46341, density), 1);
    EXPECT_FLOAT_EQ(density[0], 1.0f / 2147488281.0f);
}

ClassTable classify(const std::vector<float>& values)
{
    ClassTable table{};
    DensClassify(values.data(), 1, static_cast<int>(values.size()), table.data());
    return table;
}

TEST(DensClassify, OneValueInEachClass)
{
    const float sixth = 1.0f / 6.0f;
    EXPECT_EQ(classify({0.05f, 0.15f, 0.3f, 0.5f, 0.7f, 0.9f}), (ClassTable{sixth, sixth, sixth, sixth, sixth, sixth}));
}

TEST(DensClassify, FullDensityFallsInLastClass)
{
    const std::vector<float> values(100, 1.0f);
    ClassTable table{};
    DensClassify(values.data(), 10, 10, table.data());
    EXPECT_EQ(table, (ClassTable{0, 0, 0, 0, 0, 1}));
}

struct BoundaryCase {
    float d;
    int entry;  // -1: counted but in no class
};

float justBelow(float d) { return std::nextafter(d, 0.0f); }

TEST(DensClassify, ClassBoundariesFollowTheDoubleQuotient)
{
    const BoundaryCase cases[] = {
        {justBelow(0.1f), 0}, {0.1f, 1},  {justBelow(0.2f), 1}, {0.2f, 2}, {0.39f, 2}, {0.4f, 3},
        {0.6f, 4},            {0.7f, 4},  {justBelow(0.8f), 4}, {0.8f, 5}, {1.0f, 5},  {justBelow(1.1f), 5},
        {1.1f, -1},           {5.0f, -1}, {std::numeric_limits<float>::infinity(), -1},
        {std::numeric_limits<float>::denorm_min(), 0},
    };
    for (const BoundaryCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.d));
        ClassTable expected{};
        if (c.entry >= 0) expected[c.entry] = 1.0f;
        EXPECT_EQ(classify({c.d}), expected);
    }
}

TEST(DensClassify, NonPositiveAndNanValuesAreNotCounted)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(classify({0.5f, 0.0f, -0.0f, -1.0f, nan}), (ClassTable{0, 0, 0, 1, 0, 0}));
    // A value of 1.1 or more is counted, so the fractions no longer sum to 1.
    EXPECT_EQ(classify({0.5f, 2.0f}), (ClassTable{0, 0, 0, 0.5f, 0, 0}));
}

TEST(DensClassify, TableIsAddedToThenScaled)
{
    ClassTable table{1, 0, 0, 0, 0, 0};
    const float values[] = {0.05f, 0.95f};
    DensClassify(values, 2, 1, table.data());
    EXPECT_EQ(table, (ClassTable{1.0f, 0, 0, 0, 0, 0.5f}));
}

TEST(DensClassify, NoPositiveValueLeavesTableAsItWas)
{
    const ClassTable given{0.25f, 0, 0, 0, 0, 0.75f};
    ClassTable table = given;
    const std::vector<float> values = {0.0f, -0.3f, std::numeric_limits<float>::quiet_NaN()};
    DensClassify(values.data(), 1, 3, table.data());
    EXPECT_EQ(table, given);
    EXPECT_EQ(classify({0.0f}), ClassTable{});
}

TEST(DensClassify, UnusableBuffersOrSizesWriteNothing)
{
    const std::vector<float> values(4, 0.5f);
    ClassTable table{};
    DensClassify(nullptr, 2, 2, table.data());
    DensClassify(values.data(), 0, 4, table.data());
    DensClassify(values.data(), -2, -2, table.data());  // a positive product of negative sizes still means no values
    DensClassify(values.data(), 2, 2, nullptr);
    EXPECT_EQ(table, ClassTable{});
}

TEST(LeafDensity, HostChainsDensityIntoClasses)
{
    // 7 x 7 plant in blocks of 5: 25 pixels at 1.0, 20 at 0.4 and 4 at 0.16.
    const Densities d = leafDensities(std::vector<std::string>(7, std::string(7, '#')), 5);
    ClassTable table{};
    DensClassify(d.values.data(), 7, 7, table.data());
    EXPECT_EQ(table, (ClassTable{0, 4.0f / 49, 0, 20.0f / 49, 0, 25.0f / 49}));
}

}  // namespace
