#include "Blobspread.h"

#include "raster_art.h"
#include "zero_one_art.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A colour word: other channels in bits 0-7 and 16-23, green in bits 8-15, and an alpha
// byte that must be ignored.
std::uint32_t word(unsigned red, unsigned green, unsigned blue)
{
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

const std::uint32_t kGreen = word(0, 200, 0);  // excess green 400: joins
const std::uint32_t kGray = word(90, 90, 90);  // excess green 0, green <= 240: never joins

struct Grown {
    std::vector<std::string> mask;
    std::int32_t mean;
};

// Runs Blobspread on mask art over an image of one colour.
Grown growUniform(const std::vector<std::string>& art, std::uint32_t colour)
{
    std::vector<unsigned char> mask = parseArt<unsigned char>(art, zeroOneValue);
    const std::size_t cols = art[0].size();
    const std::vector<std::uint32_t> image(mask.size(), colour);
    const std::uint32_t result = Blobspread(image.data(), mask.data(), static_cast<unsigned>(cols),
                                            static_cast<unsigned>(art.size()));
    return {renderArt(mask, cols, zeroOneChar), static_cast<std::int32_t>(result)};
}

struct GrowthCase {
    const char* name;
    std::uint32_t colour;
    bool joins;
};

const GrowthCase kGrowthCases[] = {
    {"green above 240 joins despite excess green -28", word(255, 241, 255), true},
    {"green of exactly 240 is not above 240", word(255, 240, 255), false},
    {"excess green 200 joins", word(100, 200, 100), true},
    {"excess green of exactly 130 does not join", word(100, 165, 100), false},
    {"excess green 131 joins", word(100, 165, 99), true},
    {"the two other channels count alike", word(99, 165, 100), true},
};

TEST(Blobspread, GrowthTest)
{
    for (const GrowthCase& c : kGrowthCases) {
        SCOPED_TRACE(c.name);
        // The seed at (0, 1) offers its right neighbour (0, 2) first in the forward pass.
        std::vector<unsigned char> mask = parseArt<unsigned char>({"X#.X", "XXXX"}, zeroOneValue);
        std::vector<std::uint32_t> image(mask.size(), kGray);
        image[2] = c.colour;
        Blobspread(image.data(), mask.data(), 4, 2);
        EXPECT_EQ(mask[2], c.joins ? 1 : 0);
    }
}

TEST(Blobspread, SingleSeedInOpenFieldReachesAllButRowZeroAndUpperColumnZero)
{
    constexpr int kSide = 20;
    std::vector<std::string> art(kSide, std::string(kSide, '.'));
    art[5][5] = '#';
    std::vector<std::string> expected(kSide, std::string(kSide, '#'));
    expected[0] = std::string(kSide, '.');
    for (int row = 0; row < 10; ++row) expected[row][0] = '.';

    const Grown grown = growUniform(art, kGreen);
    EXPECT_EQ(grown.mask, expected);
    EXPECT_EQ(grown.mean, 400);
}

struct SpreadCase {
    const char* name;
    std::vector<std::string> in, out;
};

const SpreadCase kSpreadCases[] = {
    {"a barrier stops the forward spread along its row",
     {".#..X...",
      "........",
      "........"},
     {".###X...",
      "########",
      "########"}},
    {"backward pass spreads left and up but never turns right again",
     {"XXXXXXX",
      "X.....X",
      "X..XXXX",
      "X.#X..X",
      "XXXXXXX"},
     {"XXXXXXX",
      "X###..X",
      "X##XXXX",
      "X##X..X",
      "XXXXXXX"}},
    {"barriers around the region never change",
     {"XXXXX",
      "X#..X",
      "X...X",
      "XXXXX"},
     {"XXXXX",
      "X###X",
      "X###X",
      "XXXXX"}},
    {"a region pixel in the last column is never a source",
     {"......#",
      ".......",
      "......."},
     {"......#",
      ".......",
      "......."}},
};

TEST(Blobspread, SpreadShapes)
{
    for (const SpreadCase& c : kSpreadCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(growUniform(c.in, kGreen).mask, c.out);
    }
}

TEST(Blobspread, LastRowAndColumnAreGrownButNotCounted)
{
    // Every pixel is region; the four counted ones have excess green 200, 100, 150, 50.
    std::vector<unsigned char> mask(9, 1);
    const std::uint32_t outside = word(255, 0, 255);  // excess green -510
    const std::vector<std::uint32_t> image = {
        word(0, 100, 0), word(0, 50, 0),  outside,
        word(0, 75, 0),  word(0, 25, 0),  outside,
        outside,         outside,         outside,
    };
    EXPECT_EQ(Blobspread(image.data(), mask.data(), 3, 3), 125u);
}

TEST(Blobspread, NegativeMeanReadsBackAsSignedInt)
{
    const Grown grown = growUniform({"X#X", "XXX"}, word(255, 241, 255));
    EXPECT_EQ(grown.mean, -28);
}

TEST(Blobspread, SignedMeanTruncatesTowardZero)
{
    std::vector<unsigned char> mask = parseArt<unsigned char>({"##X", "XXX"}, zeroOneValue);
    const std::vector<std::uint32_t> image = {word(3, 0, 0), word(0, 0, 2), kGray, kGray, kGray, kGray};
    // (-3 + -2) / 2 = -2.5, truncated to -2.
    EXPECT_EQ(static_cast<std::int32_t>(Blobspread(image.data(), mask.data(), 3, 2)), -2);
}

TEST(Blobspread, RegionWithNoCountedPixelGivesZero)
{
    EXPECT_EQ(growUniform({"......#", ".......", "......#"}, kGreen).mean, 0);
    EXPECT_EQ(growUniform({"XXX", "XXX"}, kGreen).mean, 0);
}

TEST(Blobspread, SumOfManyPixelsDoesNotWrap)
{
    // 2999 x 2999 counted pixels of excess green 510 sum to more than 2^32.
    constexpr unsigned kSide = 3000;
    std::vector<unsigned char> mask(std::size_t{kSide} * kSide, 1);
    const std::vector<std::uint32_t> image(mask.size(), word(0, 255, 0));
    EXPECT_EQ(Blobspread(image.data(), mask.data(), kSide, kSide), 510u);
}

TEST(Blobspread, TooSmallOrNullLeavesEverythingAlone)
{
    const std::vector<unsigned char> seeded = {1, 0, 0, 0};
    const std::vector<std::uint32_t> image(seeded.size(), kGreen);
    struct Size { unsigned cols, rows; };
    for (const Size size : {Size{4, 1}, Size{1, 4}, Size{0, 4}, Size{4, 0}, Size{2, 1}}) {
        SCOPED_TRACE(std::to_string(size.cols) + " x " + std::to_string(size.rows));
        std::vector<unsigned char> mask = seeded;
        EXPECT_EQ(Blobspread(image.data(), mask.data(), size.cols, size.rows), 0u);
        EXPECT_EQ(mask, seeded);
    }
    std::vector<unsigned char> mask = seeded;
    EXPECT_EQ(Blobspread(nullptr, mask.data(), 2, 2), 0u);
    EXPECT_EQ(mask, seeded);
    EXPECT_EQ(Blobspread(image.data(), nullptr, 2, 2), 0u);
}

}  // namespace
