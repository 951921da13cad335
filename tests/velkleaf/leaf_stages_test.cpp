// The pipeline stages one by one, on hand-built graphs and tiny pictures.
#include "leaf/branch_images.h"
#include "leaf/largest_region.h"
#include "leaf/leaf_measures.h"
#include "leaf/pruning.h"
#include "leaf/stem.h"
#include "leaf/stem_thickness.h"

#include "leaf_art.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using Points = std::vector<cv::Point>;

SkeletonBranch branchOf(Points points, int startNode = -1, int endNode = -1, int role = kRoleLeaf)
{
    SkeletonBranch b;
    b.points = std::move(points);
    b.startNode = startNode;
    b.endNode = endNode;
    b.role = role;
    return b;
}

SkeletonGraph graphOf(std::vector<SkeletonBranch> branches)
{
    SkeletonGraph g;
    g.branches = std::move(branches);
    for (std::size_t i = 0; i < g.branches.size(); ++i) g.branches[i].id = static_cast<int>(i);
    return g;
}

// A two-point branch whose midpoint is (x, y).
SkeletonBranch branchAt(int x, int y)
{
    return branchOf({{x, y - 1}, {x, y + 1}});
}

std::vector<int> roles(const SkeletonGraph& g)
{
    std::vector<int> r;
    for (const SkeletonBranch& b : g.branches) r.push_back(b.role);
    return r;
}

constexpr int L = kRoleLeaf;
constexpr int S = kRoleStem;

// ---- largest region ----

struct RegionCase {
    const char* name;
    std::vector<std::string> in, out;
};

const RegionCase kRegionCases[] = {
    {"all zero stays zero", {".....", ".....", "....."}, {".....", ".....", "....."}},
    {"of two equal regions the first in scan order wins",
     {"........", ".##..##.", "........", "........"},
     {"........", ".##.....", "........", "........"}},
    {"the larger region wins wherever it lies",
     {"........", ".#...##.", "......#.", "........"},
     {"........", ".....##.", "......#.", "........"}},
    {"diagonal contact joins two blobs",
     {"......", ".##...", "...##.", "......", ".#...."},
     {"......", ".##...", "...##.", "......", "......"}},
    {"border pixels never belong to a region and split what they joined",
     {"#######", "#.#.##.", "#.#..#.", "......."},
     {".......", "....##.", ".....#.", "......."}},
};

TEST(KeepLargestRegion, WorkedShapes)
{
    for (const RegionCase& c : kRegionCases) {
        SCOPED_TRACE(c.name);
        cv::Mat result;
        EXPECT_TRUE(keepLargestRegion(parseMask(c.in), result));
        EXPECT_EQ(renderMask(result), c.out);
    }
}

TEST(KeepLargestRegion, AnyNonzeroValueIsForegroundAndResultIs0Or255)
{
    std::vector<unsigned char> pixels = {0, 0, 0, 0, 0, 1, 17, 0, 0, 0, 200, 0, 0, 0, 0, 0};
    const std::vector<unsigned char> before = pixels;
    cv::Mat mask(4, 4, CV_8UC1, pixels.data());
    keepLargestRegion(mask, mask);
    EXPECT_EQ(pixels, before) << "the wrapped caller buffer was written";
    const unsigned char expected[16] = {0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(mask.datastart, mask.dataend),
              std::vector<unsigned char>(expected, expected + 16));
}

TEST(BuildRegionLabelImage, RestrictionExcludesPixels)
{
    const cv::Mat mask = parseMask({"#.#", "##."});
    const cv::Mat restrict = parseMask({"##.", ".##"});
    cv::Mat labels;
    buildRegionLabelImage(mask, labels, restrict);
    const unsigned char expected[6] = {2, 0, 1, 1, 2, 0};
    EXPECT_EQ(std::vector<unsigned char>(labels.datastart, labels.dataend),
              std::vector<unsigned char>(expected, expected + 6));
    buildRegionLabelImage(mask, labels, cv::Mat());
    const unsigned char plain[6] = {2, 0, 2, 2, 2, 0};
    EXPECT_EQ(std::vector<unsigned char>(labels.datastart, labels.dataend),
              std::vector<unsigned char>(plain, plain + 6));
    buildRegionLabelImage(mask, labels, cv::Mat::zeros(3, 3, CV_8UC1));
    EXPECT_TRUE(labels.empty());
}

TEST(BiInputPixelProcess, RunOperationHoldsTheFirstVirtualSlot)
{
#if defined(__x86_64__) || defined(__i386__)
    // A pointer to a virtual member holds 1 + the byte offset of its virtual-table slot
    // (Itanium C++ ABI), so the first slot reads 1; a destructor declared first would
    // push the operation to the third slot.
    const auto process = &Velk::MatOperation::PixelProcessOperations::BiInputBinaryImagePixelProcessFunction::process;
    std::uintptr_t slot = 0;
    std::memcpy(&slot, &process, sizeof slot);
    EXPECT_EQ(slot, 1u);
#else
    GTEST_SKIP() << "member pointer layout checked on x86 only";
#endif
}

// ---- stem marking ----

// A skeleton image of the given rows with a vertical run of skeleton pixels at each column
// from row kStemSearchFirstRow down, plus decoy pixels above that row.
cv::Mat footprint(int rows, int cols, std::vector<int> columns)
{
    cv::Mat image = cv::Mat::zeros(rows, cols, CV_8UC1);
    for (int col : columns) image(cv::Range(kStemSearchFirstRow, rows), cv::Range(col, col + 1)).setTo(255);
    image(cv::Range(0, kStemSearchFirstRow), cv::Range(20, 21)).setTo(255);
    return image;
}

TEST(MarkStem, BandLiesAroundTheFirstDensestTwentyColumnWindow)
{
    // Column 100 alone: the first window holding it starts at 81, so the centre is 91
    // and the band is 81 < x < 101.
    SkeletonGraph g = graphOf({branchAt(100, 50), branchAt(101, 50), branchAt(81, 50), branchAt(82, 50),
                               branchAt(20, 1000)});
    markStem(footprint(1900, 200, {100}), g);
    EXPECT_EQ(roles(g), (std::vector<int>{S, L, L, S, L}));
}

TEST(MarkStem, WindowStartsStopBeforeColsMinus21)
{
    // 60 columns: windows start at 0..38, so column 57 lies in window 38 (centre 48) while
    // column 58 lies in none and the centre stays 0; margin 0 keeps the band at 10.
    SkeletonGraph lastCovered = graphOf({branchAt(5, 50), branchAt(48, 60)});
    markStem(footprint(1900, 60, {57}), lastCovered);
    EXPECT_EQ(roles(lastCovered), (std::vector<int>{L, S}));

    SkeletonGraph uncovered = graphOf({branchAt(5, 50), branchAt(48, 60)});
    markStem(footprint(1900, 60, {58}), uncovered);
    EXPECT_EQ(roles(uncovered), (std::vector<int>{S, L}));
}

TEST(MarkStem, BandWidensBySevenPercentOfTheFootprint)
{
    // Columns 100 and 200: margin trunc(100 x 0.07) = 7, half-widths 10, 17, 24, 31.
    const cv::Mat image = footprint(1900, 300, {100, 200});
    SkeletonGraph inFourth = graphOf({branchAt(121, 50), branchAt(200, 60)});
    markStem(image, inFourth);
    EXPECT_EQ(roles(inFourth), (std::vector<int>{S, L}));

    SkeletonGraph outside = graphOf({branchAt(122, 50), branchAt(130, 60), branchAt(250, 900)});
    outside.branches[2].kept = false;
    markStem(image, outside);
    EXPECT_EQ(roles(outside), (std::vector<int>{L, S, L})) << "the lowest kept branch is the stem";
}

TEST(MarkStem, ShortImagesSearchAroundColumnZero)
{
    // No profile: centre 0, margin trunc(200 x 0.07) = 14, last band -52 < x < 52.
    const cv::Mat image = cv::Mat::zeros(1800, 200, CV_8UC1);
    SkeletonGraph near = graphOf({branchAt(60, 10), branchAt(51, 5)});
    markStem(image, near);
    EXPECT_EQ(roles(near), (std::vector<int>{L, S}));

    SkeletonGraph far = graphOf({branchAt(60, 10), branchAt(90, 700), branchAt(52, 300)});
    markStem(image, far);
    EXPECT_EQ(roles(far), (std::vector<int>{L, S, L}));
}

TEST(MarkStem, FallbackStartsFromBranchZero)
{
    SkeletonGraph g = graphOf({branchAt(100, 0), branchAt(120, 0)});
    g.branches[0].points = {{100, 0}};
    g.branches[1].points = {{120, 0}};
    markStem(cv::Mat::zeros(10, 200, CV_8UC1), g);
    EXPECT_EQ(roles(g), (std::vector<int>{S, L}));
}

TEST(TrimStemAbove, CutRowZeroChangesNothing)
{
    SkeletonGraph g = graphOf({branchAt(5, 10), branchAt(5, 20), branchAt(9, 30)});
    g.branches[0].role = S;
    g.branches[1].role = S;
    trimStemAbove(0, g);
    EXPECT_EQ(roles(g), (std::vector<int>{S, S, L}));
    trimStemAbove(15, g);
    EXPECT_EQ(roles(g), (std::vector<int>{L, S, L}));
}

TEST(TrimStemAbove, CutBelowEveryStemKeepsTheLowestFormerStem)
{
    SkeletonGraph g = graphOf({branchAt(5, 10), branchAt(5, 40), branchAt(5, 40), branchAt(9, 90)});
    for (int i = 0; i < 3; ++i) g.branches[i].role = S;
    g.branches[1].kept = false;
    trimStemAbove(1000, g);
    EXPECT_EQ(roles(g), (std::vector<int>{L, S, L, L})) << "earliest of the lowest, kept or not";
}

Points leafFromBaseTo(int baseRow, int dx, int dy)
{
    return {{50 + dx, baseRow + dy}, {50, baseRow}};
}

TEST(StemCutRow, WorkedOrders)
{
    const int rows = 1000;
    EXPECT_EQ(stemCutRow({leafFromBaseTo(300, 0, -40), leafFromBaseTo(200, 5, -40), leafFromBaseTo(100, -5, -40)},
                         rows),
              300);
    EXPECT_EQ(stemCutRow({leafFromBaseTo(100, 0, -40), leafFromBaseTo(200, 5, -40), leafFromBaseTo(300, -5, -40)},
                         rows),
              200);
    EXPECT_EQ(stemCutRow({leafFromBaseTo(250, 0, -40)}, rows), 250);
    EXPECT_EQ(stemCutRow({{}, {}}, rows), 0);
}

TEST(StemCutRow, LeavesFarFromUpBoundTheCut)
{
    EXPECT_EQ(stemCutRow({leafFromBaseTo(300, 0, -40), leafFromBaseTo(500, 0, 40), {}}, 1000), 500);
    // Pointing left is 90 degrees from up and does not count; pointing right is 270 and does.
    EXPECT_EQ(stemCutRow({leafFromBaseTo(300, 0, -40), leafFromBaseTo(500, -40, 0), leafFromBaseTo(700, 0, 40)},
                         1000),
              700);
    EXPECT_EQ(stemCutRow({leafFromBaseTo(300, 0, -40), leafFromBaseTo(500, 40, 0), leafFromBaseTo(700, 0, 40)},
                         1000),
              500);
}

// ---- pruning and tip candidates ----

TEST(PruneShortBranches, ReferenceIsTheMeanOfTheTenLongest)
{
    // Ten free branches of length 50 and one diagonal of 7 sqrt(2) = 9.9: the reference
    // is 0.2 x 50 = 10 (over all eleven it would be 9.27).
    std::vector<SkeletonBranch> branches;
    for (int i = 0; i < 10; ++i) branches.push_back(branchOf(chain(0, i, 1, 0, 51), 0, -1));
    branches.push_back(branchOf(chain(0, 20, 1, 1, 8), -1, 0));
    SkeletonGraph g = graphOf(branches);
    pruneShortBranches(0.2, g);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(g.branches[i].kept);
    EXPECT_FALSE(g.branches[10].kept);
}

TEST(PruneShortBranches, KeepsStemJunctionToJunctionAndLoneBranches)
{
    SkeletonGraph g = graphOf({
        branchOf(chain(0, 0, 1, 0, 101), -1, 0, S),  // 100, stem
        branchOf(chain(0, 1, 1, 0, 51), 0, -1),      // 50
        branchOf(chain(0, 2, 1, 0, 9), 0, -1),       // 8 < 0.2 x 163 / 4 = 8.15
        branchOf(chain(0, 3, 1, 0, 6), 0, 1),        // 5, joins two junctions
        branchOf(chain(0, 4, 1, 0, 3), -1, -1, S),   // 2, stem
    });
    g.branches[4].kept = false;  // not counted in the reference
    pruneShortBranches(0.2, g);
    EXPECT_TRUE(g.branches[0].kept);
    EXPECT_TRUE(g.branches[1].kept);
    EXPECT_FALSE(g.branches[2].kept);
    EXPECT_TRUE(g.branches[3].kept);

    SkeletonGraph single = graphOf({branchOf(chain(0, 0, 1, 0, 3), -1, 0)});
    pruneShortBranches(0.2, single);
    EXPECT_TRUE(single.branches[0].kept);
}

TEST(CollectTipCandidates, FreeEndsOfLongKeptLeafBranches)
{
    Points justOver = chain(0, 0, 1, 0, 30);  // 29 unit steps and one diagonal: 30.41
    justOver.emplace_back(30, 1);
    SkeletonGraph g = graphOf({
        branchOf(chain(0, 1, 1, 0, 31), 0, -1),  // exactly 30: no
        branchOf(justOver, 0, -1),               // last point
        branchOf(chain(0, 3, 1, 0, 40), -1, 0),  // first point
        branchOf(chain(0, 4, 1, 0, 40), -1, -1), // free at both ends: first point only
        branchOf(chain(0, 5, 1, 0, 40), 0, 1),   // junction to junction: no
        branchOf(chain(0, 6, 1, 0, 40), -1, 0, S),
        branchOf(chain(0, 7, 1, 0, 40), 0, -1),
    });
    g.branches[6].kept = false;
    EXPECT_EQ(collectTipCandidates(g), (Points{{30, 1}, {0, 3}, {0, 4}}));
}

// ---- branch images ----

TEST(BranchImages, JoiningJunctionsAndKeptBranchesOnly)
{
    SkeletonGraph g = graphOf({
        branchOf(chain(2, 2, 1, 0, 3), -1, 0, S),  // (2..4, 2)
        branchOf(chain(6, 2, 1, 0, 3), 0, -1),     // (6..8, 2)
        branchOf(chain(5, 3, 0, 1, 3), 0, 1),      // (5, 3..5), pruned
        branchOf(chain(6, 6, 1, 0, 3), 1, -1),     // (6..8, 6)
    });
    g.branches[2].kept = false;
    g.junctions = {JunctionNode{5, 2, {0, 1, 2}}, JunctionNode{5, 6, {2, 3}}};
    EXPECT_EQ(renderMask(drawBranchMask(9, 11, g)), (std::vector<std::string>{
                                                         "...........",
                                                         "...........",
                                                         "..#######..",
                                                         "...........",
                                                         "...........",
                                                         "...........",
                                                         "......###..",
                                                         "...........",
                                                         "...........",
                                                     }));
    const cv::Mat overview = drawBranchOverview(9, 11, g);
    EXPECT_EQ(overview.at<cv::Vec3b>(2, 3), cv::Vec3b(20, 255, 255));
    EXPECT_EQ(overview.at<cv::Vec3b>(2, 7), cv::Vec3b(20, 255, 20));
    EXPECT_EQ(overview.at<cv::Vec3b>(2, 5), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(overview.at<cv::Vec3b>(4, 5), cv::Vec3b(0, 0, 0)) << "pruned";
    EXPECT_EQ(overview.at<cv::Vec3b>(6, 5), cv::Vec3b(0, 0, 0)) << "only one kept branch meets there";
    EXPECT_EQ(overview.at<cv::Vec3b>(6, 7), cv::Vec3b(20, 255, 20));
    EXPECT_EQ(cv::countNonZero(drawStemMask(9, 11, g)), 0) << "a stem of three points is too short";
}

TEST(BranchImages, StemMaskNeedsMoreThanTwentyPoints)
{
    SkeletonGraph g = graphOf({branchOf(chain(2, 3, 1, 0, 20), -1, 0, S), branchOf(chain(2, 6, 1, 0, 21), -1, 0, S),
                               branchOf(chain(2, 9, 1, 0, 30), -1, 0, L)});
    const cv::Mat stem = drawStemMask(12, 30, g);
    EXPECT_EQ(cv::countNonZero(stem.row(3)), 0);
    EXPECT_EQ(cv::countNonZero(stem.row(6)), 21);
    EXPECT_EQ(cv::countNonZero(stem), 21);
}

TEST(BranchImages, EmptyTablesGiveZeroImages)
{
    const SkeletonGraph g;
    EXPECT_EQ(cv::countNonZero(drawBranchMask(5, 6, g)), 0);
    EXPECT_EQ(cv::countNonZero(drawStemMask(5, 6, g)), 0);
    EXPECT_EQ(cv::norm(drawBranchOverview(5, 6, g), cv::NORM_INF), 0);
}

// ---- leaf measures ----

TEST(DirectionAngle, AxesQuadrantsAndSnapping)
{
    const struct {
        double dx, dy, angle;
    } cases[] = {{1, 0, 0},    {-1, 0, 180},  {0, 1, 90},   {0, -1, 270},  {1, -1, 315}, {-1, 1, 135},
                 {200, 1, 0},  {-200, 1, 180}, {1, 200, 90}, {1, -200, 270}, {0, 0, 0},    {1, 1, 45},
                 {-1, -1, 225}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        EXPECT_NEAR(directionAngle(c.dx, c.dy), c.angle, 1e-12);
    }
    EXPECT_NEAR(directionAngle(199, 1), std::atan(1.0 / 199) * 180 / 3.14159265358979323846, 1e-12);
    EXPECT_NEAR(directionAngle(199, 1), 0.2879, 1e-4);
}

TEST(LeafMeasures, WorkedLeaves)
{
    const Points two = {{3, 0}, {0, 4}};
    EXPECT_EQ(leafLength(two), 0);
    EXPECT_DOUBLE_EQ(chordLength(two), 5);

    const Points four = {{10, 0}, {9, 5}, {3, 7}, {0, 10}};
    EXPECT_DOUBLE_EQ(baseAngle(four), chordAngle(four));
    EXPECT_DOUBLE_EQ(leafLength({{0, 0}, {3, 4}, {3, 10}, {3, 11}}), 11);

    EXPECT_EQ(chordAngle({{5, 0}, {5, 9}, {5, 20}}), 0) << "tip straight above";
    EXPECT_EQ(chordAngle({{30, 20}, {5, 20}}), 270) << "tip straight right";
    EXPECT_EQ(chordAngle({{0, 20}, {5, 20}}), 90) << "tip straight left";
    EXPECT_EQ(chordAngle({{5, 40}, {5, 20}}), 180) << "tip straight below";

    // Six points: the base angle looks at point 1, the chord at point 0.
    const Points six = {{0, 0}, {20, 0}, {20, 1}, {20, 2}, {20, 3}, {20, 20}};
    EXPECT_EQ(baseAngle(six), 0);
    EXPECT_DOUBLE_EQ(chordAngle(six), 45);
}

TEST(DrawLeaf, FourPointLeavesAreNotDrawnAndDrawNoRandomNumber)
{
    cv::Mat canvas = cv::Mat::zeros(20, 20, CV_8UC3);
    std::srand(7);
    drawLeaf({{2, 2}, {3, 3}, {4, 4}, {5, 5}}, canvas);
    EXPECT_EQ(cv::norm(canvas, cv::NORM_INF), 0);
    drawLeaf({{10, 2}, {10, 4}, {10, 6}, {10, 8}, {10, 10}}, canvas);

    std::srand(7);
    const int blue = std::rand() % 100 + 100;
    const int green = std::rand() % 100 + 100;
    const int red = std::rand() % 100 + 100;
    EXPECT_EQ(canvas.at<cv::Vec3b>(6, 10), cv::Vec3b(blue, green, red));
    EXPECT_EQ(canvas.at<cv::Vec3b>(6, 11), cv::Vec3b(blue, green, red)) << "three pixels thick";
    EXPECT_EQ(canvas.at<cv::Vec3b>(6, 13), cv::Vec3b(0, 0, 0));
}

// ---- stem thickness ----

TEST(MeasureStemThickness, RowRadiusExcludesThePixelItself)
{
    // A band of columns 20..30: from column 25 the walks see at best column 24 or 26,
    // five chamfer steps (0.955 each) from the background.
    cv::Mat mask = cv::Mat::zeros(60, 50, CV_8UC1);
    mask(cv::Range(5, 55), cv::Range(20, 31)).setTo(255);
    SkeletonGraph g = graphOf({branchOf(chain(25, 20, 0, 1, 20), 0, 1, S), branchOf(chain(22, 20, 0, 1, 20))});
    EXPECT_NEAR(measureStemThickness(mask, false, g), 2 * 5 * 0.955, 1e-3);

    g.branches[0].points.emplace_back(40, 30);  // on background: no contribution
    EXPECT_NEAR(measureStemThickness(mask, false, g), 2 * 5 * 0.955, 1e-3);
}

TEST(MeasureStemThickness, ThinStemsAndMissingStemGiveZero)
{
    cv::Mat mask = cv::Mat::zeros(60, 50, CV_8UC1);
    mask(cv::Range(5, 55), cv::Range(20, 27)).setTo(255);  // 7 wide: radius 2.87 at best
    SkeletonGraph g = graphOf({branchOf(chain(23, 20, 0, 1, 20), 0, 1, S)});
    EXPECT_EQ(measureStemThickness(mask, false, g), 0);
    g.branches[0].role = L;
    mask(cv::Range(5, 55), cv::Range(20, 40)).setTo(255);
    EXPECT_EQ(measureStemThickness(mask, false, g), 0);
}

}  // namespace
