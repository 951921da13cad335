// masktidy on tiny hand-drawn masks in the 0/1 mask art of zero_one_art.h.
#include "masktidy.h"
#include "point_stack.h"
#include "raster_art.h"
#include "zero_one_art.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using Art = std::vector<std::string>;
using RegionFunction = int (*)(unsigned char*, int, int, int);

struct Mask {
    int rows = 0;
    int cols = 0;
    std::vector<unsigned char> pixels;

    unsigned char& at(int y, int x) { return pixels[static_cast<std::size_t>(y) * cols + x]; }
    unsigned char at(int y, int x) const { return pixels[static_cast<std::size_t>(y) * cols + x]; }
};

Mask parse(const Art& art)
{
    return {static_cast<int>(art.size()), static_cast<int>(art.front().size()),
            parseArt<unsigned char>(art, zeroOneValue)};
}

Art render(const Mask& mask) { return renderArt(mask.pixels, static_cast<std::size_t>(mask.cols), zeroOneChar); }

// Runs fn on the drawn mask, expects 1, and returns the drawing of the result.
Art apply(RegionFunction fn, const Art& in, int maxArea)
{
    Mask mask = parse(in);
    EXPECT_EQ(fn(mask.pixels.data(), mask.rows, mask.cols, maxArea), 1);
    return render(mask);
}

Art applyFill(const Art& in)
{
    Mask mask = parse(in);
    EXPECT_EQ(bwfill(mask.pixels.data(), mask.rows, mask.cols), 1);
    return render(mask);
}

// ---------------------------------------------------------------------------------------
// imbinary

TEST(Imbinary, ThresholdIsInclusiveAndNanIsBackground)
{
    const float image[] = {0.5f, 0.49f, std::nanf(""), 7.0f, -1.0f, 0.5000001f};
    unsigned char mask[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(imbinary(image, 2, 3, 0.5f, mask), 1);
    const std::vector<unsigned char> expected = {1, 0, 0, 1, 0, 1};
    EXPECT_EQ(std::vector<unsigned char>(mask, mask + 6), expected);
}

// (-2) x (-3) is a positive product, but negative counts describe no image.
TEST(Imbinary, NegativeCountsWithPositiveProductWriteNothing)
{
    const float image[6] = {1, 1, 1, 1, 1, 1};
    unsigned char mask[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_EQ(imbinary(image, -2, -3, 0.0f, mask), 1);
    EXPECT_EQ(imbinary(image, 0, 6, 0.0f, mask), 1);
    EXPECT_EQ(imbinary(nullptr, 2, 3, 0.0f, mask), 1);
    EXPECT_EQ(imbinary(image, 2, 3, 0.0f, nullptr), 1);
    EXPECT_EQ(std::vector<unsigned char>(mask, mask + 6), std::vector<unsigned char>(6, 9));
}

// ---------------------------------------------------------------------------------------
// bwfill

struct FillCase {
    const char* name;
    Art in;
    Art out;
};

const FillCase kFillCases[] = {
    {"inside of a closed ring is filled, outside stays background",
     {".......", ".......", "..###..", "..#.#..", "..###..", "......."},
     {".......", ".......", "..###..", "..###..", "..###..", "......."}},
    {"a vertical line cuts off the background right of it",
     {".......", "...#...", "...#...", "...#...", "......."},
     {".......", "...###.", "...###.", "...###.", "......."}},
    {"a diagonal line cuts off the background below it: the fill is 4-connected",
     {".......", ".....#.", "....#..", "...#...", "..#....", "......."},
     {".......", ".....#.", "....##.", "...###.", "..####.", "......."}},
    {"border foreground, foreground at (1, 1) and a 2 end as 0; 255 keeps its value",
     {"#####", "##..#", "#.2.#", "#.X.#", "#####"},
     {".....", ".....", ".....", "..X..", "....."}},
    {"a 2 on entry stops the flood, so what lies behind it is filled",
     {"......", "..#2#.", "..#.#.", "..###.", "......"},
     {"......", "..#.#.", "..###.", "..###.", "......"}},
    {"a mask of two rows is all border and ends as 0", {"#..#", "##.."}, {"....", "...."}},
    {"a mask of two columns is all border and ends as 0", {"#.", ".#", "##"}, {"..", "..", ".."}},
    {"a single pixel ends as 0", {"X"}, {"."}},
};

TEST(Bwfill, WorkedMasks)
{
    for (const FillCase& c : kFillCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(applyFill(c.in), c.out);
    }
}

TEST(Bwfill, LargeEmptyMaskGrowsThePointStack)
{
    Mask mask{300, 400, std::vector<unsigned char>(300 * 400, 0)};
    for (int x = 50; x < 350; ++x) mask.at(150, x) = 1;
    EXPECT_EQ(bwfill(mask.pixels.data(), mask.rows, mask.cols), 1);
    for (int y = 0; y < mask.rows; ++y) {
        for (int x = 0; x < mask.cols; ++x) ASSERT_EQ(mask.at(y, x), y == 150 && x >= 50 && x < 350 ? 1 : 0);
    }
}

// ---------------------------------------------------------------------------------------
// Region sweeps

struct RegionCase {
    const char* name;
    RegionFunction fn;
    int maxArea;
    Art in;
    Art out;
};

const RegionCase kRegionCases[] = {
    {"single pixels go, two touching at a corner are one region of 2", bwremove, 1,
     {"#.....", "...#..", "......", ".#....", "..#...", "......"},
     {"......", "......", "......", ".#....", "..#...", "......"}},
    {"a region of maxArea pixels goes, maxArea + 1 stays, 255 reads as foreground", bwremove, 3,
     {".......", ".XXX...", ".......", ".#X##..", "......."},
     {".......", ".......", ".......", ".#X##..", "......."}},
    {"a large region touching the border stays, a small one there goes", bwremove, 3,
     {"####...", "#......", "......#", "......#"},
     {"####...", "#......", ".......", "......."}},
    {"bwremove1 on a zero border: a region of 3 goes, one of 4 stays", bwremove1, 3,
     {".......", ".XXX...", ".......", ".#X##..", "......."},
     {".......", ".......", ".......", ".#X##..", "......."}},
    {"bwremove1: border foreground is neither measured nor changed", bwremove1, 1,
     {"..#...", "..#...", "......", "....##", "......"},
     {"..#...", "......", "......", ".....#", "......"}},
    {"bwremove measures the same border regions whole", bwremove, 1,
     {"..#...", "..#...", "......", "....##", "......"},
     {"..#...", "..#...", "......", "....##", "......"}},
    {"single holes go, corner-touching holes are two holes, edge-sharing ones one", bwFillHole, 1,
     {"#######", "#.#####", "###.###", "####.##", "#..####", "#######"},
     {"#######", "#######", "#######", "#######", "#..####", "#######"}},
    {"a hole of maxArea pixels is filled, one of maxArea + 1 stays", bwFillHole, 2,
     {"#######", "#..####", "#######", "#...###", "#######"},
     {"#######", "#######", "#######", "#...###", "#######"}},
    {"a notch at the border is filled, a large border background stays", bwFillHole, 2,
     {"#.#####", "###....", "###...."},
     {"#######", "###....", "###...."}},
    {"a hole inside 255 is filled with 1", bwFillHole, 4,
     {".....", ".XXX.", ".X.X.", ".XXX.", "....."},
     {".....", ".XXX.", ".X#X.", ".XXX.", "....."}},
    {"bwFillHole1: the border bounds the holes and ends as 0", bwFillHole1, 1,
     {"#.##.#", "#.#..#", "######", "#.####", "######"},
     {"......", ".##...", ".####.", ".####.", "......"}},
    {"bwFillHole1 on two rows leaves all 0", bwFillHole1, 5, {"#.X", ".#."}, {"...", "..."}},
    {"bwFillHole1 on one pixel leaves 0", bwFillHole1, 1, {"#"}, {"."}},
    {"bwremove1 on two rows finds no seed", bwremove1, 5, {"#.X", ".#."}, {"#.X", ".#."}},
};

TEST(RegionSweep, WorkedMasks)
{
    for (const RegionCase& c : kRegionCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(apply(c.fn, c.in, c.maxArea), c.out);
    }
}

const Art kBusyMask = {"#.##.#", "#.#..#", "######", "#.#..#", "#.##.#"};

TEST(RegionSweep, MaxAreaZeroOrNegativeLeavesTheMaskAsItIs)
{
    for (RegionFunction fn : {bwremove, bwremove1, bwFillHole, bwFillHole1}) {
        for (int maxArea : {0, -1, std::numeric_limits<int>::min()}) {
            SCOPED_TRACE(maxArea);
            EXPECT_EQ(apply(fn, kBusyMask, maxArea), kBusyMask);
        }
    }
}

TEST(RegionSweep, HugeMaxAreaRewritesEveryRegion)
{
    const int maxArea = std::numeric_limits<int>::max();
    EXPECT_EQ(apply(bwremove, kBusyMask, maxArea), Art(5, "......"));
    EXPECT_EQ(apply(bwFillHole, kBusyMask, maxArea), Art(5, "######"));
}

TEST(RegionSweep, RegionLargerThanTheInitialStackRoom)
{
    const Art full(200, std::string(200, '#'));
    EXPECT_EQ(apply(bwremove, full, 200 * 200), Art(200, std::string(200, '.')));
    EXPECT_EQ(apply(bwremove, full, 200 * 200 - 1), full);
    const Art empty(200, std::string(200, '.'));
    EXPECT_EQ(apply(bwFillHole, empty, 200 * 200), full);
    EXPECT_EQ(apply(bwFillHole, empty, 200 * 200 - 1), empty);
}

// ---------------------------------------------------------------------------------------
// Random masks against a plain labelling with bounds checks

enum class Target { Foreground, Background };

// Regions of the target class (8-connected foreground, 4-connected background) with at most
// maxArea pixels, rewritten with the other class; pixels outside the image belong to no region.
Mask referenceSweep(Mask mask, Target target, int maxArea)
{
    const bool foreground = target == Target::Foreground;
    auto isTarget = [&](unsigned char v) { return foreground ? v != 0 : v == 0; };
    std::vector<int> label(mask.pixels.size(), -1);
    for (int sy = 0; sy < mask.rows; ++sy) {
        for (int sx = 0; sx < mask.cols; ++sx) {
            const std::size_t seed = static_cast<std::size_t>(sy) * mask.cols + sx;
            if (!isTarget(mask.pixels[seed]) || label[seed] >= 0) continue;
            std::vector<std::pair<int, int>> region = {{sy, sx}}, open = {{sy, sx}};
            label[seed] = 1;
            while (!open.empty()) {
                const auto [y, x] = open.back();
                open.pop_back();
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        if ((dx == 0 && dy == 0) || (!foreground && dx != 0 && dy != 0)) continue;
                        const int ny = y + dy, nx = x + dx;
                        if (ny < 0 || nx < 0 || ny >= mask.rows || nx >= mask.cols) continue;
                        const std::size_t q = static_cast<std::size_t>(ny) * mask.cols + nx;
                        if (!isTarget(mask.pixels[q]) || label[q] >= 0) continue;
                        label[q] = 1;
                        region.push_back({ny, nx});
                        open.push_back({ny, nx});
                    }
                }
            }
            if (region.size() > static_cast<std::size_t>(maxArea)) continue;
            for (const auto& [y, x] : region) label[static_cast<std::size_t>(y) * mask.cols + x] = 2;
        }
    }
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == 2) mask.pixels[i] = foreground ? 0 : 1;
    }
    return mask;
}

Mask randomMask(std::mt19937& random, int rows, int cols, double density, bool zeroBorder)
{
    std::bernoulli_distribution isForeground(density);
    Mask mask{rows, cols, std::vector<unsigned char>(static_cast<std::size_t>(rows) * cols, 0)};
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < cols; ++x) {
            const bool border = y == 0 || x == 0 || y == rows - 1 || x == cols - 1;
            if (!(zeroBorder && border) && isForeground(random)) mask.at(y, x) = (x + y) % 3 ? 1 : 255;
        }
    }
    return mask;
}

Mask run(RegionFunction fn, Mask mask, int maxArea)
{
    EXPECT_EQ(fn(mask.pixels.data(), mask.rows, mask.cols, maxArea), 1);
    return mask;
}

TEST(RegionSweep, RandomMasksMatchPlainLabelling)
{
    std::mt19937 random(20261211);
    for (int trial = 0; trial < 200; ++trial) {
        const int rows = 3 + trial % 17, cols = 3 + (trial * 7) % 23, maxArea = 1 + trial % 9;
        const double density = 0.2 + 0.6 * (trial % 5) / 4.0;
        SCOPED_TRACE(trial);
        const Mask mask = randomMask(random, rows, cols, density, false);
        EXPECT_EQ(run(bwremove, mask, maxArea).pixels, referenceSweep(mask, Target::Foreground, maxArea).pixels);
        EXPECT_EQ(run(bwFillHole, mask, maxArea).pixels, referenceSweep(mask, Target::Background, maxArea).pixels);

        const Mask zeroBorder = randomMask(random, rows, cols, density, true);
        EXPECT_EQ(run(bwremove1, zeroBorder, maxArea).pixels, run(bwremove, zeroBorder, maxArea).pixels);
    }
}

Mask interiorOf(const Mask& mask)
{
    Mask interior{mask.rows - 2, mask.cols - 2, {}};
    for (int y = 1; y + 1 < mask.rows; ++y) {
        for (int x = 1; x + 1 < mask.cols; ++x) interior.pixels.push_back(mask.at(y, x));
    }
    return interior;
}

TEST(RegionSweep, BwFillHole1FillsTheInteriorAsBwFillHoleDoes)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 100; ++trial) {
        const int rows = 3 + trial % 13, cols = 3 + (trial * 5) % 19, maxArea = 1 + trial % 7;
        SCOPED_TRACE(trial);
        const Mask mask = randomMask(random, rows, cols, 0.6, false);
        const Mask filled = run(bwFillHole1, mask, maxArea);
        EXPECT_EQ(interiorOf(filled).pixels, run(bwFillHole, interiorOf(mask), maxArea).pixels);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < cols; ++x) {
                if (y == 0 || x == 0 || y == rows - 1 || x == cols - 1) {
                    EXPECT_EQ(filled.at(y, x), 0);
                }
            }
        }
    }
}

TEST(RegionSweep, SecondCallChangesNothing)
{
    std::mt19937 random(11);
    for (RegionFunction fn : {bwremove, bwFillHole, bwFillHole1}) {
        const Mask once = run(fn, randomMask(random, 40, 50, 0.45, false), 6);
        EXPECT_EQ(run(fn, once, 6).pixels, once.pixels);
    }
}

// ---------------------------------------------------------------------------------------
// Arguments that describe no usable mask

TEST(Masktidy, NullMaskOrEmptySizesTouchNothing)
{
    for (RegionFunction fn : {bwremove, bwremove1, bwFillHole, bwFillHole1}) {
        EXPECT_EQ(fn(nullptr, 5, 5, 3), 1);
        unsigned char mask[6] = {0, 1, 0, 1, 0, 0};
        for (auto [rows, cols] : {std::pair{0, 6}, {6, 0}, {-2, -3}, {-1, 6}}) {
            EXPECT_EQ(fn(mask, rows, cols, 3), 1);
        }
        EXPECT_EQ(std::vector<unsigned char>(mask, mask + 6), (std::vector<unsigned char>{0, 1, 0, 1, 0, 0}));
    }
    unsigned char mask[6] = {0, 1, 0, 1, 0, 0};
    EXPECT_EQ(bwfill(nullptr, 5, 5), 1);
    EXPECT_EQ(bwfill(mask, -2, -3), 1);
    EXPECT_EQ(bwfill(mask, 0, 6), 1);
    EXPECT_EQ(std::vector<unsigned char>(mask, mask + 6), (std::vector<unsigned char>{0, 1, 0, 1, 0, 0}));
}

// The sizes below would make a 32-bit point index wrap; the one-byte buffer proves that
// nothing is read or written (the sanitizer run catches any access past it).
TEST(Masktidy, RasterBeyond32BitIndicesIsRefused)
{
    unsigned char pixel = 1;
    EXPECT_EQ(bwfill(&pixel, 65536, 65536), 0);
    EXPECT_EQ(bwremove1(&pixel, 65536, 65536, 3), 0);
    EXPECT_EQ(bwFillHole1(&pixel, 65536, 65536, 3), 0);
    // (65535 + 2)^2 framed pixels pass 2^32 although 65535^2 does not.
    EXPECT_EQ(bwremove(&pixel, 65535, 65535, 3), 0);
    EXPECT_EQ(bwFillHole(&pixel, 65535, 65535, 3), 0);
    EXPECT_EQ(bwremove(&pixel, std::numeric_limits<int>::max(), std::numeric_limits<int>::max(), 3), 0);
    EXPECT_EQ(pixel, 1);
}

// maxArea <= 0 rewrites nothing, so the size of the raster does not matter: 1, mask untouched.
TEST(Masktidy, MaxAreaZeroOnRasterBeyond32BitIndices)
{
    unsigned char pixel = 1;
    for (RegionFunction fn : {bwremove, bwremove1, bwFillHole, bwFillHole1}) {
        EXPECT_EQ(fn(&pixel, 65536, 65536, 0), 1);
        EXPECT_EQ(fn(&pixel, 65535, 65535, -1), 1);
    }
    EXPECT_EQ(pixel, 1);
}

// Under a limit on address space the framed copy or visit map of a large mask cannot be
// allocated. ASan reserves far more address space than any such limit, so the sanitizer
// build leaves this case to the normal one.
#if !defined(__SANITIZE_ADDRESS__)
constexpr int kLargeSide = 8000;
constexpr std::size_t kSpareBytes = std::size_t{16} << 20;

void limitAddressSpaceToCurrentUse()
{
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + kSpareBytes;
    const rlimit rl{limit, limit};
    setrlimit(RLIMIT_AS, &rl);
}

// Exits 0 when every region function returns 0 and leaves the mask as it was.
void sweepLargeMaskWithoutMemory()
{
    Mask mask{kLargeSide, kLargeSide, std::vector<unsigned char>(std::size_t{kLargeSide} * kLargeSide, 0)};
    mask.at(0, 0) = 1;
    mask.at(kLargeSide / 2, kLargeSide / 2) = 1;
    const std::vector<unsigned char> before = mask.pixels;
    limitAddressSpaceToCurrentUse();
    bool allRefused = true;
    for (RegionFunction fn : {bwremove, bwremove1, bwFillHole, bwFillHole1}) {
        allRefused = allRefused && fn(mask.pixels.data(), mask.rows, mask.cols, 5) == 0 && mask.pixels == before;
    }
    std::_Exit(allRefused ? 0 : 1);
}

TEST(MasktidyDeathTest, WorkingMemoryThatCannotBeHadLeavesTheMaskUntouched)
{
    EXPECT_EXIT(sweepLargeMaskWithoutMemory(), testing::ExitedWithCode(0), "");
}
#endif

// ---------------------------------------------------------------------------------------
// Point stack

TEST(PointStack, GrowsByHundredEntriesAndPopsLastFirst)
{
    masktidy::PointStack stack;
    ASSERT_TRUE(stack.allocated());
    EXPECT_EQ(stack.room(), 1000u);
    for (masktidy::PixelIndex i = 0; i < 1000; ++i) ASSERT_TRUE(stack.push(i));
    EXPECT_EQ(stack.room(), 1000u);
    ASSERT_TRUE(stack.push(1000));
    EXPECT_EQ(stack.room(), 1100u);
    for (masktidy::PixelIndex i = 1001; i < 1101; ++i) ASSERT_TRUE(stack.push(i));
    EXPECT_EQ(stack.room(), 1200u);
    for (masktidy::PixelIndex i = 1101; i-- > 0;) ASSERT_EQ(stack.pop(), i);
    EXPECT_TRUE(stack.empty());
}

}  // namespace
