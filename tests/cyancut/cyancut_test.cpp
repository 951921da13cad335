#include "cyancut.h"

#include "raster_art.h"
#include "zero_one_art.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

struct Colour {
    unsigned char red, green, blue;
};

const Colour kBluish = {30, 80, 150};
const Colour kGray = {100, 100, 100};

// Every buffer of one call, each exactly rows x cols so that the sanitizer run catches
// any access outside them.
struct Scene {
    int rows, cols;
    std::vector<unsigned char> red, green, blue, mask, second, level;

    Scene(int rows, int cols, unsigned char maskValue, unsigned char secondValue, unsigned char levelValue)
        : rows(rows), cols(cols),
          red(size(), kGray.red), green(size(), kGray.green), blue(size(), kGray.blue),
          mask(size(), maskValue), second(size(), secondValue), level(size(), levelValue) {}

    std::size_t size() const { return std::size_t(rows) * std::size_t(cols); }
    std::size_t at(int row, int col) const { return std::size_t(row) * std::size_t(cols) + std::size_t(col); }

    void paint(int row, int col, Colour c)
    {
        red[at(row, col)] = c.red;
        green[at(row, col)] = c.green;
        blue[at(row, col)] = c.blue;
    }

    void removePot(std::uint32_t threshold)
    {
        remove_blue_plot(red.data(), green.data(), blue.data(), rows, cols, mask.data(), second.data(),
                         level.data(), threshold);
    }
};

struct PixelCase {
    const char* name;
    int row, col;
    unsigned char maskBefore;
    Colour colour;
    unsigned char maskAfter;
};

// A 2300 x 1200 image: no later step reaches rows 2150 .. 2297 of the colour window.
const PixelCase kColourCases[] = {
    {"bluish plant pixel is pot", 2200, 800, 1, kBluish, 0},
    {"greenish plant pixel stays", 2200, 801, 1, {60, 120, 50}, 1},
    {"gray plant pixel stays", 2200, 802, 1, kGray, 1},
    {"red equal to green is not below it", 2200, 803, 1, {80, 80, 150}, 1},
    {"background is not tested", 2200, 804, 0, kBluish, 0},
    {"value 255 is not tested", 2200, 805, 255, kBluish, 255},
    {"first window column", 2200, 700, 1, kBluish, 0},
    {"last window column", 2200, 1099, 1, kBluish, 0},
    {"just left of the window", 2200, 699, 1, kBluish, 1},
    {"just right of the window", 2200, 1100, 1, kBluish, 1},
    {"first window row (rows - 150)", 2150, 800, 1, kBluish, 0},
    {"just above the window", 2149, 800, 1, kBluish, 1},
};

TEST(RemoveBluePlot, ColourTestInPotWindow)
{
    Scene scene(2300, 1200, 0, 0, 0);
    for (const PixelCase& c : kColourCases) {
        scene.mask[scene.at(c.row, c.col)] = c.maskBefore;
        scene.paint(c.row, c.col, c.colour);
    }
    scene.removePot(0);
    for (const PixelCase& c : kColourCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(scene.mask[scene.at(c.row, c.col)], c.maskAfter);
    }
}

struct WindowCase {
    const char* name;
    int row, col;
    unsigned char expected;
};

TEST(RemoveBluePlot, ReplacementAndThresholdWindows)
{
    // Mask 255 everywhere, second mask 0, level 200 against threshold 100: the threshold
    // window becomes 1, the rest of the replacement window 0, and 255 elsewhere shows
    // which pixels no step touched.
    Scene scene(2300, 1200, 255, 0, 200);
    scene.removePot(100);
    const WindowCase cases[] = {
        {"threshold window top-left corner", 1750, 700, 1},
        {"threshold window bottom-right corner", 1929, 899, 1},
        {"above the threshold window", 1749, 700, 255},
        {"left of the threshold window", 1800, 699, 255},
        {"right of the threshold window", 1800, 900, 255},
        {"threshold rule wins where the windows overlap", 1900, 800, 1},
        {"below the threshold window, inside the replacement", 1930, 800, 0},
        {"replacement window top-left corner", 1860, 630, 0},
        {"replacement window bottom-right corner", 2048, 1099, 0},
        {"left of the replacement window", 1900, 629, 255},
        {"above the replacement window", 1859, 630, 255},
        {"below the replacement window", 2049, 1099, 255},
        {"border column", 1000, 1, 0},
        {"border row", 2298, 600, 0},
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(scene.mask[scene.at(c.row, c.col)], c.expected);
    }
}

TEST(RemoveBluePlot, ReplacementTakesOnlyExactOnes)
{
    Scene scene(2300, 1200, 0, 0, 0);
    const unsigned char secondValues[] = {1, 0, 2, 255};
    const unsigned char expected[] = {1, 0, 0, 0};
    for (int k = 0; k < 4; ++k) scene.second[scene.at(2000, 700 + k)] = secondValues[k];
    scene.mask[scene.at(2000, 701)] = 1;  // the mask's own value is discarded
    scene.removePot(0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(scene.mask[scene.at(2000, 700 + k)], expected[k]) << k;
}

TEST(RemoveBluePlot, ThresholdIsAnUnsignedComparison)
{
    struct Case { std::uint32_t threshold; unsigned char level, expected; };
    const Case cases[] = {
        {0, 1, 1}, {0, 0, 0}, {254, 255, 1}, {255, 255, 0}, {300, 255, 0}, {0xFFFFFFFFu, 255, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("threshold " + std::to_string(c.threshold) + ", level " + std::to_string(c.level));
        Scene scene(1940, 910, 0, 0, c.level);
        scene.removePot(c.threshold);
        EXPECT_EQ(scene.mask[scene.at(1800, 800)], c.expected);
        EXPECT_EQ(scene.mask[scene.at(1929, 899)], c.expected);
    }
}

TEST(RemoveBluePlot, BorderRowInsideReplacementWindowIsRewritten)
{
    // In a 2050-row image row 2048 is a border row, then the replacement window's last row.
    Scene scene(2050, 1200, 1, 1, 0);
    scene.removePot(0);
    EXPECT_EQ(scene.mask[scene.at(2048, 629)], 0);
    EXPECT_EQ(scene.mask[scene.at(2048, 630)], 1);
    EXPECT_EQ(scene.mask[scene.at(2048, 1099)], 1);
    EXPECT_EQ(scene.mask[scene.at(2048, 1100)], 0);
    EXPECT_EQ(scene.mask[scene.at(2049, 800)], 0);
}

struct BorderCase {
    const char* name;
    std::vector<std::string> in, out;
};

const BorderCase kBorderCases[] = {
    {"two-pixel border cleared, other values pass through",
     {"#######",
      "#######",
      "##X#.##",
      "#######",
      "#######",
      "#######"},
     {".......",
      ".......",
      "..X#...",
      "..###..",
      ".......",
      "......."}},
    {"five by five keeps only its centre",
     {"#####", "#####", "#####", "#####", "#####"},
     {".....", ".....", "..#..", ".....", "....."}},
    {"four columns are all border", {"####", "####", "####", "####", "####", "####"},
     {"....", "....", "....", "....", "....", "...."}},
    {"a single row is all border", {"########"}, {"........"}},
    {"a single pixel is border", {"#"}, {"."}},
};

// Small images lie outside every fixed window, so both exports only clear the border.
TEST(RemoveBluePlot, BorderOfSmallImages)
{
    for (const BorderCase& c : kBorderCases) {
        SCOPED_TRACE(c.name);
        const int rows = static_cast<int>(c.in.size());
        const int cols = static_cast<int>(c.in[0].size());

        std::vector<unsigned char> mask = parseArt<unsigned char>(c.in, zeroOneValue);
        remove_blue_plot_EG(nullptr, nullptr, nullptr, rows, cols, mask.data());
        EXPECT_EQ(renderArt(mask, cols, zeroOneChar), c.out);

        Scene scene(rows, cols, 0, 1, 255);
        scene.mask = parseArt<unsigned char>(c.in, zeroOneValue);
        scene.removePot(0);
        EXPECT_EQ(renderArt(scene.mask, cols, zeroOneChar), c.out);
    }
}

bool inside(int row, int col, int firstRow, int lastRow, int firstCol, int lastCol)
{
    return row >= firstRow && row <= lastRow && col >= firstCol && col <= lastCol;
}

// The value a pixel ends with, asking the steps from last to first which one decides it.
unsigned char expectedAfter(const Scene& s, int row, int col, std::uint32_t threshold)
{
    const std::size_t i = s.at(row, col);
    if (inside(row, col, 1750, 1929, 700, 899)) return s.level[i] > threshold ? 1 : 0;
    if (inside(row, col, 1860, 2048, 630, 1099)) return s.second[i] == 1 ? 1 : 0;
    if (row < 2 || row >= s.rows - 2 || col < 2 || col >= s.cols - 2) return 0;
    const bool pot = s.mask[i] == 1 && s.red[i] < s.green[i] && s.red[i] < s.blue[i];
    if (inside(row, col, s.rows - 150, s.rows - 1, 700, 1099) && pot) return 0;
    return s.mask[i];
}

TEST(RemoveBluePlot, WindowsAreClippedToImagesOfAnySize)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255), bit(0, 1);
    const std::pair<int, int> sizes[] = {{1, 1},      {3, 5},      {150, 701},   {1760, 640}, {1800, 1300},
                                         {1900, 760}, {1940, 905}, {2000, 1000}, {2049, 1100}, {2160, 1120}};
    for (const auto& [rows, cols] : sizes) {
        SCOPED_TRACE(std::to_string(rows) + " x " + std::to_string(cols));
        Scene scene(rows, cols, 0, 0, 0);
        for (std::size_t i = 0; i < scene.size(); ++i) {
            scene.red[i] = static_cast<unsigned char>(byte(random));
            scene.green[i] = static_cast<unsigned char>(byte(random));
            scene.blue[i] = static_cast<unsigned char>(byte(random));
            scene.mask[i] = static_cast<unsigned char>(bit(random));
            scene.second[i] = static_cast<unsigned char>(bit(random));
            scene.level[i] = static_cast<unsigned char>(byte(random));
        }
        const Scene before = scene;
        scene.removePot(128);
        int mismatches = 0;
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col)
                mismatches += scene.mask[scene.at(row, col)] != expectedAfter(before, row, col, 128);
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(scene.red, before.red);
        EXPECT_EQ(scene.second, before.second);
        EXPECT_EQ(scene.level, before.level);
    }
}

TEST(RemoveBluePlot, NullPointersAndNonPositiveSizesWriteNothing)
{
    Scene scene(3, 3, 1, 1, 255);
    const std::vector<unsigned char> untouched = scene.mask;
    const unsigned char* p = scene.red.data();
    unsigned char* m = scene.mask.data();
    remove_blue_plot(nullptr, p, p, 3, 3, m, p, p, 0);
    remove_blue_plot(p, nullptr, p, 3, 3, m, p, p, 0);
    remove_blue_plot(p, p, nullptr, 3, 3, m, p, p, 0);
    remove_blue_plot(p, p, p, 3, 3, m, nullptr, p, 0);
    remove_blue_plot(p, p, p, 3, 3, m, p, nullptr, 0);
    remove_blue_plot(p, p, p, 3, 3, nullptr, p, p, 0);
    remove_blue_plot(p, p, p, 0, 3, m, p, p, 0);
    remove_blue_plot(p, p, p, 3, -1, m, p, p, 0);
    remove_blue_plot_EG(p, p, p, -3, 3, m);
    remove_blue_plot_EG(p, p, p, 3, 0, m);
    remove_blue_plot_EG(p, p, p, 3, 3, nullptr);
    EXPECT_EQ(scene.mask, untouched);
}

}  // namespace
