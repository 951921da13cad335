#include "graph/leaf_path.h"

#include "leaf_art.h"

#include <gtest/gtest.h>

namespace {

using Points = std::vector<cv::Point>;

// The two-junction skeleton with the given roles per branch; the stem image stays empty
// so that nothing is cut unless a test draws a stem.
struct PathFixture {
    SkeletonGraph graph;
    LeafSearchImages images;

    PathFixture(const std::vector<std::string>& art, std::vector<int> roles)
    {
        images.branchMask = parseMask(art);
        images.stemMask = cv::Mat::zeros(images.branchMask.size(), CV_8UC1);
        decomposeSkeleton(images.branchMask, graph);
        for (std::size_t i = 0; i < roles.size(); ++i) graph.branches[i].role = roles[i];
    }
    Points trace(cv::Point seed) { return traceLeafPath(images, seed, graph); }
};

constexpr int L = kRoleLeaf;
constexpr int S = kRoleStem;

TEST(TraceLeafPath, TakesTheShortestContinuationAndKeepsAForkForTheOther)
{
    PathFixture f(kTwoJunctions, {L, L, S, L, L});
    // From the tip (3, 2) the shorter arm (6, 3)-(7, 2) is tried first and leads nowhere;
    // the fork then takes the stem chain.
    EXPECT_EQ(f.trace({3, 2}), (Points{{3, 2}, {5, 6}, {5, 6}, {5, 7}}));
    EXPECT_EQ(f.graph.branches[0].direction, kBothWays);
    EXPECT_EQ(f.graph.branches[1].direction, kFirstToLast);
    EXPECT_TRUE(f.graph.branches[1].visited);
    EXPECT_FALSE(f.graph.branches[3].visited);
}

TEST(TraceLeafPath, RepeatedCallsStartFromAFreshSearch)
{
    PathFixture f(kTwoJunctions, {L, L, S, L, L});
    const Points first = f.trace({3, 2});
    EXPECT_EQ(f.trace({7, 10}), (Points{{7, 10}, {5, 6}, {5, 6}, {5, 5}}));
    EXPECT_EQ(f.trace({3, 2}), first);
}

TEST(TraceLeafPath, SeedSnapsToTheNearestSkeletonPixel)
{
    PathFixture f(kTwoJunctions, {L, L, S, L, L});
    EXPECT_EQ(f.trace({2, 1}), (Points{{3, 2}, {5, 6}, {5, 6}, {5, 7}}));
    // Nothing within min(13, 11) / 4 = 2 rings of (0, 0): the seed becomes (0, 0), on no branch.
    EXPECT_TRUE(f.trace({0, 0}).empty());
}

TEST(TraceLeafPath, SeedOnStemEndsBeforeGrowing)
{
    PathFixture f(kTwoJunctions, {L, L, S, L, L});
    EXPECT_EQ(f.trace({5, 6}), (Points{{5, 7}, {5, 6}, {5, 5}}));
    EXPECT_FALSE(f.graph.branches[0].visited);
}

TEST(TraceLeafPath, SeedOnJunctionStartsOnePathPerBranch)
{
    PathFixture f(kTwoJunctions, {L, L, S, L, L});
    EXPECT_EQ(f.trace({5, 4}), (Points{{5, 5}, {5, 6}, {5, 7}}));
    for (int id : {0, 1, 2}) EXPECT_TRUE(f.graph.branches[id].visited);
    EXPECT_EQ(f.graph.branches[0].direction, kFirstToLast);  // (5, 4) is nearer its first point
}

TEST(TraceLeafPath, NoReachableStemGivesEmptyPath)
{
    PathFixture f(kTwoJunctions, {L, L, L, L, L});
    EXPECT_TRUE(f.trace({3, 2}).empty());
    for (const SkeletonBranch& b : f.graph.branches) EXPECT_TRUE(b.visited);
}

TEST(TraceLeafPath, EqualCandidatesGoToTheEarlierInTheList)
{
    // From the bottom tip both upper arms are equally long; the first listed is taken
    // first, although the second would have reached the stem at once.
    const std::vector<std::string> y = {
        "...........", "...........", "..#.....#..", "...#...#...", "....#.#....", ".....#.....",
        ".....#.....", ".....#.....", ".....#.....", "...........", "...........",
    };
    PathFixture f(y, {L, S, L});
    EXPECT_EQ(f.trace({5, 8}), (Points{{5, 8}, {6, 4}, {7, 3}, {8, 2}}));
    EXPECT_TRUE(f.graph.branches[0].visited);
}

TEST(TraceLeafPath, StartSideWinsATieAgainstTheEndSide)
{
    PathFixture f(kTwoJunctions, {L, L, L, S, L});
    // All four arms are sqrt(2) long; both upper arms are taken before the lower ones.
    EXPECT_EQ(f.trace({5, 6}), (Points{{5, 7}, {4, 9}, {4, 9}, {3, 10}}));
    EXPECT_TRUE(f.graph.branches[0].visited);
    EXPECT_TRUE(f.graph.branches[1].visited);
    EXPECT_FALSE(f.graph.branches[4].visited);
}

// Two forks (4, 5) and (10, 5) on the arms of a Y whose junction is (7, 8). Branches:
// 0, 1 the upright and the slanting sub-arm of the left fork, 2 the Y's left arm, 3, 4, 5
// likewise on the right (4 the Y's right arm), 6 the Y's foot.
const std::vector<std::string> kTwinForks = {
    "...............",
    "...............",
    "...............",
    "....#.....#....",
    "....#.....#....",
    "....#.....#....",
    "...#.#...#.#...",
    "..#...#.#...#..",
    ".......#.......",
    ".......#.......",
    ".......#.......",
    "...............",
    "...............",
};

TEST(TraceLeafPath, EqualPathCostsGoToTheEarlierPath)
{
    // Seeded on the junction (7, 8), the paths [2] and [4] both cost 1 (their cheapest
    // continuations, the upright sub-arms 0 and 3, are one pixel long). Both sub-arms are
    // stem: the earlier path grows first and wins through arm 0.
    PathFixture f(kTwinForks, {S, L, L, S, L, L, L});
    EXPECT_EQ(f.trace({7, 8}), (Points{{6, 7}, {4, 3}, {4, 4}, {4, 3}}));
    EXPECT_TRUE(f.graph.branches[0].visited);
    EXPECT_FALSE(f.graph.branches[3].visited);
}

TEST(TraceLeafPath, SeedPathsThatAllReachTheStemGiveTheFirst)
{
    // Both Y arms next to the seeded junction are stem; the first path in the list wins.
    PathFixture f(kTwinForks, {L, L, S, L, S, L, L});
    EXPECT_EQ(f.trace({7, 8}), (Points{{6, 7}, {6, 7}, {5, 6}}));
}

TEST(TraceLeafPath, PathCostCountsTheContinuationsOfEveryBranchOfThePath)
{
    // Branches: 0 (5, 3)-(6, 2) and 1 down-left from the upper junction (4, 4); 2 the
    // chain (5, 5)-(7, 7) between the junctions; 3 (7, 9)-(4, 12) and the lone pixel 4
    // (9, 9) at the lower junction (8, 8). Seeded on 2, the path takes 4 (length 0) and
    // forks. Both [2, 4] and its fork [2] then cost sqrt(2), through arm 0 that branch 2
    // still offers; the earlier path grows, from 4, into stem 3. Costing [2, 4] by its
    // last branch alone would have grown the fork into stem 0 instead.
    const std::vector<std::string> art = {
        "............", "............", "......#.....", ".....#......", "....#.......",
        "...#.#......", "..#...#.....", "..#....#....", "........#...", ".......#.#..",
        "......#.....", ".....#......", "....#.......", "............", "............",
    };
    PathFixture f(art, {S, L, L, S, L});
    ASSERT_EQ(f.graph.branches[4].points, (Points{{9, 9}}));
    EXPECT_EQ(f.trace({6, 6}), (Points{{7, 7}, {9, 9}, {5, 11}, {5, 11}, {4, 12}}));
    EXPECT_FALSE(f.graph.branches[0].visited);
}

TEST(TraceLeafPath, EntryEquallyFarFromBothEndsTravelsLastToFirst)
{
    // The loop leaves the junction (5, 6) at (4, 5) and returns at (6, 5), both two
    // steps from it: the tie reads the loop from its last point.
    const std::vector<std::string> loop = {
        ".........", ".........", ".........", ".....#...", "....#.#..", "....#.#..",
        ".....#...", ".....#...", ".....#...", ".........", ".........",
    };
    PathFixture f(loop, {S, L});
    ASSERT_EQ(f.graph.branches[0].points, (Points{{4, 5}, {4, 4}, {5, 3}, {6, 4}, {6, 5}}));
    EXPECT_EQ(f.trace({5, 6}), (Points{{6, 5}, {4, 4}, {4, 4}, {4, 5}}));
    EXPECT_EQ(f.graph.branches[0].direction, kLastToFirst);
}

TEST(TraceLeafPath, EntryDirectionMeasuresCityBlockDistance)
{
    // Seeded on the junction (4, 5), arm 3 (7, 6)-(8, 5) of the run's far pixel is 4 + 0
    // from its last point and 3 + 1 from its first: a tie, so it is read last to first
    // (by chessboard distance its first point would be the nearer).
    PathFixture f(kDiagonalJunctionRun, {L, L, L, S, L});
    EXPECT_EQ(f.trace({4, 5}), (Points{{8, 5}, {8, 5}, {7, 6}}));
    EXPECT_EQ(f.graph.branches[3].direction, kLastToFirst);
}

TEST(TraceLeafPath, WinningPathOfOnePixelGivesNoLeaf)
{
    // Branch 1 is the lone pixel (5, 3); as the stem it wins at once with a single point.
    PathFixture f(kSharedStartPixel, {L, S, L, L, L, L});
    EXPECT_TRUE(f.trace({5, 3}).empty());
    EXPECT_EQ(f.graph.branches[1].direction, kBothWays);
}

TEST(TraceLeafPath, PathIsCutWhereItComesNearTheStem)
{
    PathFixture f(kTwoJunctions, {L, L, S, L, L});
    f.images.stemMask.at<unsigned char>(10, 7) = 255;
    // (3, 2) is more than five pixels from (7, 10); (5, 6) is within five.
    EXPECT_EQ(f.trace({3, 2}), (Points{{3, 2}, {5, 6}}));
}

std::vector<int> sampledColumns(int n)
{
    std::vector<int> xs;
    for (const cv::Point& p : sampleLeafPoints(chain(0, 0, 1, 0, n))) xs.push_back(p.x);
    return xs;
}

std::vector<int> multiplesBelow(int step, int n)
{
    std::vector<int> xs;
    for (int i = 0; i < n; i += step) xs.push_back(i);
    return xs;
}

TEST(SampleLeafPoints, StepIsThreeBelowEightyPointsAndNOverTwentyFrom)
{
    std::vector<int> expected79 = multiplesBelow(3, 79);
    expected79.insert(expected79.end(), {77, 78});
    EXPECT_EQ(sampledColumns(79), expected79);
    std::vector<int> expected80 = multiplesBelow(4, 80);
    expected80.insert(expected80.end(), {78, 79});
    EXPECT_EQ(sampledColumns(80), expected80);
}

TEST(SampleLeafPoints, KeepsRepeatedLastPoints)
{
    std::vector<int> expected = multiplesBelow(3, 31);
    expected.insert(expected.end(), {29, 30});
    ASSERT_EQ(expected.size(), 13u);
    EXPECT_EQ(expected[10], 30);
    EXPECT_EQ(sampledColumns(31), expected);
    EXPECT_EQ(sampledColumns(2), (std::vector<int>{0, 0, 1}));
}

TEST(SampleLeafPoints, SinglePointPathGivesNoLeaf)
{
    EXPECT_TRUE(sampledColumns(1).empty());
    EXPECT_TRUE(sampledColumns(0).empty());
}

TEST(CutAtStem, KeepsPointsUpToTheFirstWithinFivePixels)
{
    cv::Mat stem = cv::Mat::zeros(30, 30, CV_8UC1);
    stem.at<unsigned char>(10, 10) = 255;
    const Points path = {{0, 10}, {4, 10}, {5, 10}, {6, 10}, {20, 10}};
    EXPECT_EQ(cutAtStem(path, stem), (Points{{0, 10}, {4, 10}, {5, 10}}));
    EXPECT_EQ(cutAtStem({{0, 0}, {4, 4}}, stem), (Points{{0, 0}, {4, 4}}));
    EXPECT_EQ(cutAtStem({{15, 15}, {29, 29}}, stem), (Points{{15, 15}}));
    EXPECT_TRUE(cutAtStem({}, stem).empty());
}

TEST(NearestForegroundPixel, SearchesRingsSideBySide)
{
    cv::Mat image = cv::Mat::zeros(20, 20, CV_8UC1);
    image.at<unsigned char>(7, 3) = 255;  // bottom-left corner of ring 2 around (5, 5)
    image.at<unsigned char>(5, 7) = 255;  // middle of the right side of ring 2
    EXPECT_EQ(nearestForegroundPixel(image, {5, 5}), cv::Point(3, 7));
    image.at<unsigned char>(3, 7) = 255;  // top-right corner: the top side comes first
    EXPECT_EQ(nearestForegroundPixel(image, {5, 5}), cv::Point(7, 3));
    EXPECT_EQ(nearestForegroundPixel(image, {3, 7}), cv::Point(3, 7));
}

TEST(NearestForegroundPixel, SidesComeTopBottomLeftRight)
{
    cv::Mat image = cv::Mat::zeros(20, 20, CV_8UC1);
    image.at<unsigned char>(5, 7) = 255;  // middle of the right side of ring 2 around (5, 5)
    image.at<unsigned char>(5, 3) = 255;  // middle of the left side
    EXPECT_EQ(nearestForegroundPixel(image, {5, 5}), cv::Point(3, 5));
    image.at<unsigned char>(7, 5) = 255;  // middle of the bottom side
    EXPECT_EQ(nearestForegroundPixel(image, {5, 5}), cv::Point(5, 7));
    image.at<unsigned char>(3, 5) = 255;  // middle of the top side
    EXPECT_EQ(nearestForegroundPixel(image, {5, 5}), cv::Point(5, 3));
}

TEST(NearestForegroundPixel, SeedAtTheCornerSearchesTheInImagePartOfEachRing)
{
    cv::Mat image = cv::Mat::zeros(20, 20, CV_8UC1);
    image.at<unsigned char>(1, 2) = 255;
    EXPECT_EQ(nearestForegroundPixel(image, {0, 0}), cv::Point(2, 1));
    // Rings reach only min(rows, cols) / 4 = 5 pixels out.
    cv::Mat far = cv::Mat::zeros(20, 20, CV_8UC1);
    far.at<unsigned char>(10, 10) = 255;
    EXPECT_EQ(nearestForegroundPixel(far, {4, 4}), cv::Point(0, 0));
    EXPECT_EQ(nearestForegroundPixel(far, {5, 5}), cv::Point(0, 0)) << "ring 5 is not searched";
    EXPECT_EQ(nearestForegroundPixel(far, {6, 6}), cv::Point(10, 10));
}

}  // namespace
