#include "graph/skeleton_graph.h"

#include "leaf_art.h"
#include "skeleton/skeleton.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

using Points = std::vector<cv::Point>;
using Ids = std::vector<int>;

// Arms leave the only junction pixel (5, 5) up-left, up-right and straight down.
const std::vector<std::string> kY = {
    "...........",
    "...........",
    "..#.....#..",
    "...#...#...",
    "....#.#....",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    "...........",
    "...........",
};

// A horizontal line and a vertical line starting below its middle pixel.
const std::vector<std::string> kT = {
    "...........",
    "...........",
    "..#######..",
    ".....#.....",
    ".....#.....",
    ".....#.....",
    "...........",
    "...........",
};

SkeletonGraph decompose(const std::vector<std::string>& art)
{
    SkeletonGraph graph;
    decomposeSkeleton(parseMask(art), graph);
    return graph;
}

bool sameGraph(const SkeletonGraph& a, const SkeletonGraph& b)
{
    if (a.junctions.size() != b.junctions.size() || a.branches.size() != b.branches.size()) return false;
    for (std::size_t i = 0; i < a.junctions.size(); ++i)
        if (a.junctions[i].x != b.junctions[i].x || a.junctions[i].y != b.junctions[i].y
            || a.junctions[i].branchIds != b.junctions[i].branchIds)
            return false;
    for (std::size_t i = 0; i < a.branches.size(); ++i)
        if (a.branches[i].points != b.branches[i].points || a.branches[i].startNode != b.branches[i].startNode
            || a.branches[i].endNode != b.branches[i].endNode
            || a.branches[i].startNeighbours != b.branches[i].startNeighbours
            || a.branches[i].endNeighbours != b.branches[i].endNeighbours)
            return false;
    return true;
}

TEST(DecomposeSkeleton, YGivesOneJunctionAndThreeArmsInScanOrder)
{
    const SkeletonGraph g = decompose(kY);
    ASSERT_EQ(g.junctions.size(), 1u);
    EXPECT_EQ(g.junctions[0].x, 5);
    EXPECT_EQ(g.junctions[0].y, 5);
    EXPECT_EQ(g.junctions[0].branchIds, (Ids{0, 1, 2}));
    ASSERT_EQ(g.branches.size(), 3u);
    EXPECT_EQ(g.branches[0].points, (Points{{4, 4}, {3, 3}, {2, 2}}));
    EXPECT_EQ(g.branches[1].points, (Points{{6, 4}, {7, 3}, {8, 2}}));
    EXPECT_EQ(g.branches[2].points, (Points{{5, 6}, {5, 7}, {5, 8}}));
    const Ids others[3] = {{1, 2}, {0, 2}, {0, 1}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const SkeletonBranch& b = g.branches[i];
        EXPECT_EQ(b.id, i);
        EXPECT_EQ(b.startNode, 0);
        EXPECT_EQ(b.endNode, -1);
        EXPECT_EQ(b.startNeighbours, others[i]);
        EXPECT_TRUE(b.endNeighbours.empty());
        EXPECT_TRUE(b.kept);
        EXPECT_FALSE(b.visited);
        EXPECT_FALSE(b.exhausted);
        EXPECT_EQ(b.role, kRoleUnset);
        EXPECT_EQ(b.direction, kFirstToLast);
    }
}

TEST(DecomposeSkeleton, TMergesItsFourTouchingJunctionPixels)
{
    const SkeletonGraph g = decompose(kT);
    ASSERT_EQ(g.junctions.size(), 4u);
    const Points junctionPixels = {{4, 2}, {5, 2}, {6, 2}, {5, 3}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cv::Point(g.junctions[i].x, g.junctions[i].y), junctionPixels[i]);
    }
    // Worked by hand through the merge passes: each member keeps its own order.
    EXPECT_EQ(g.junctions[0].branchIds, (Ids{0, 2, 1}));
    EXPECT_EQ(g.junctions[1].branchIds, (Ids{0, 2, 1}));
    EXPECT_EQ(g.junctions[2].branchIds, (Ids{1, 0, 2}));
    EXPECT_EQ(g.junctions[3].branchIds, (Ids{2, 0, 1}));
    ASSERT_EQ(g.branches.size(), 3u);
    EXPECT_EQ(g.branches[0].points, (Points{{3, 2}, {2, 2}}));
    EXPECT_EQ(g.branches[1].points, (Points{{7, 2}, {8, 2}}));
    EXPECT_EQ(g.branches[2].points, (Points{{5, 4}, {5, 5}}));
    EXPECT_EQ(g.branches[0].startNode, 0);
    EXPECT_EQ(g.branches[1].startNode, 2);
    EXPECT_EQ(g.branches[2].startNode, 3);
    EXPECT_EQ(g.branches[0].startNeighbours, (Ids{2, 1}));
    EXPECT_EQ(g.branches[1].startNeighbours, (Ids{0, 2}));
    EXPECT_EQ(g.branches[2].startNeighbours, (Ids{0, 1}));
    for (const SkeletonBranch& b : g.branches) EXPECT_EQ(b.endNode, -1);
}

TEST(DecomposeSkeleton, DiagonalRunOfJunctionsSharesOneListAfterASecondMergePass)
{
    // The first merge pass visits (4, 5) before (5, 6) has learnt the ids of (6, 7); only
    // a second pass brings arms 3 and 4 to the first pixel.
    const SkeletonGraph g = decompose(kDiagonalJunctionRun);
    ASSERT_EQ(g.junctions.size(), 3u);
    const Points junctionPixels = {{4, 5}, {5, 6}, {6, 7}};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(cv::Point(g.junctions[i].x, g.junctions[i].y), junctionPixels[i]);
    ASSERT_EQ(g.branches.size(), 5u);
    EXPECT_EQ(g.branches[0].points, (Points{{3, 4}, {2, 3}}));
    EXPECT_EQ(g.branches[1].points, (Points{{5, 4}, {6, 3}}));
    EXPECT_EQ(g.branches[2].points, (Points{{4, 7}, {3, 8}}));
    EXPECT_EQ(g.branches[3].points, (Points{{7, 6}, {8, 5}}));
    EXPECT_EQ(g.branches[4].points, (Points{{7, 8}, {8, 9}}));
    EXPECT_EQ(g.junctions[0].branchIds, (Ids{0, 1, 2, 3, 4}));
    EXPECT_EQ(g.junctions[1].branchIds, (Ids{2, 0, 1, 3, 4}));
    EXPECT_EQ(g.junctions[2].branchIds, (Ids{3, 4, 2, 0, 1}));
    EXPECT_EQ(g.branches[0].startNeighbours, (Ids{1, 2, 3, 4}));
    EXPECT_EQ(g.branches[3].startNeighbours, (Ids{4, 2, 0, 1}));
}

TEST(DecomposeSkeleton, BranchBetweenJunctionsIsTracedOnceAndJoinsBoth)
{
    const SkeletonGraph g = decompose(kTwoJunctions);
    ASSERT_EQ(g.junctions.size(), 2u);
    ASSERT_EQ(g.branches.size(), 5u);
    const SkeletonBranch& middle = g.branches[2];
    EXPECT_EQ(middle.points, (Points{{5, 5}, {5, 6}, {5, 7}}));
    EXPECT_EQ(middle.startNode, 0);
    EXPECT_EQ(middle.endNode, 1);
    EXPECT_EQ(middle.startNeighbours, (Ids{0, 1}));
    EXPECT_EQ(middle.endNeighbours, (Ids{3, 4}));
    EXPECT_EQ(g.junctions[0].branchIds, (Ids{0, 1, 2}));
    EXPECT_EQ(g.junctions[1].branchIds, (Ids{2, 3, 4}));
    EXPECT_EQ(g.branches[3].points, (Points{{4, 9}, {3, 10}}));
    EXPECT_EQ(g.branches[3].startNeighbours, (Ids{2, 4}));
}

TEST(DecomposeSkeleton, LoneStartPixelBecomesOnePixelBranchOncePerListing)
{
    const SkeletonGraph g = decompose(kSharedStartPixel);
    ASSERT_EQ(g.junctions.size(), 2u);
    ASSERT_EQ(g.branches.size(), 6u);
    for (int id : {1, 3}) {
        SCOPED_TRACE(id);
        const SkeletonBranch& lone = g.branches[id];
        EXPECT_EQ(lone.points, (Points{{5, 3}}));
        // Both ends take the junction met first in scan order, (4, 4).
        EXPECT_EQ(lone.startNode, 0);
        EXPECT_EQ(lone.endNode, 0);
    }
    EXPECT_EQ(g.junctions[0].branchIds, (Ids{0, 2, 1, 3}));
    EXPECT_EQ(g.junctions[1].branchIds, (Ids{4, 5}));
    EXPECT_EQ(g.branches[1].startNeighbours, (Ids{0, 2, 3}));
    EXPECT_EQ(g.branches[1].endNeighbours, (Ids{0, 2, 3}));
}

TEST(DecomposeSkeleton, SpurBentBackBesideItsJunctionEndsThere)
{
    // The spur (6, 4), (7, 5), (6, 6) returns next to the junction pixel (5, 5).
    const SkeletonGraph g = decompose({
        "..........",
        "..........",
        "..#.......",
        "...#......",
        "....#.#...",
        ".....#.#..",
        "....#.#...",
        "...#......",
        "..........",
        "..........",
    });
    ASSERT_EQ(g.junctions.size(), 1u);
    EXPECT_EQ(cv::Point(g.junctions[0].x, g.junctions[0].y), cv::Point(5, 5));
    const auto spur = std::find_if(g.branches.begin(), g.branches.end(),
                                   [](const SkeletonBranch& b) { return b.points.front() == cv::Point(6, 4); });
    ASSERT_NE(spur, g.branches.end());
    EXPECT_EQ(spur->points, (Points{{6, 4}, {7, 5}, {6, 6}}));
    EXPECT_EQ(spur->startNode, 0);
    EXPECT_EQ(spur->endNode, 0);
}

TEST(DecomposeSkeleton, TraceEndsAtTheFirstPixelAboveTheValidBand)
{
    // The upper arm bends into row 1 and runs on along it; nothing is searched from
    // row 1, so the trace stops at (4, 1) and (3, 1), (2, 1) stay out of the tables.
    const SkeletonGraph g = decompose({
        ".........",
        "..###....",
        ".....#...",
        ".....#...",
        ".....#...",
        "....#.#..",
        "...#...#.",
        ".........",
    });
    ASSERT_EQ(g.junctions.size(), 1u);
    EXPECT_EQ(cv::Point(g.junctions[0].x, g.junctions[0].y), cv::Point(5, 4));
    ASSERT_EQ(g.branches.size(), 3u);
    EXPECT_EQ(g.branches[0].points, (Points{{5, 3}, {5, 2}, {4, 1}}));
    EXPECT_EQ(g.branches[0].endNode, -1);
    // The lower arms end at their own tips.
    EXPECT_EQ(g.branches[1].points, (Points{{4, 5}, {3, 6}}));
    EXPECT_EQ(g.branches[2].points, (Points{{6, 5}, {7, 6}}));
}

TEST(DecomposeSkeleton, OuterBandStartPixelsBecomeUnattachedOnePixelBranches)
{
    // The junction (4, 4) sits on the last row and column of the valid band; its arms
    // into column C - 1 and row R - 1 are lone pixels that no neighbour search reaches.
    const SkeletonGraph g = decompose({
        "......",
        "......",
        "..#...",
        "...#.#",
        "....#.",
        ".....#",
    });
    ASSERT_EQ(g.junctions.size(), 1u);
    EXPECT_EQ(cv::Point(g.junctions[0].x, g.junctions[0].y), cv::Point(4, 4));
    EXPECT_EQ(g.junctions[0].branchIds, (Ids{0}));
    ASSERT_EQ(g.branches.size(), 3u);
    EXPECT_EQ(g.branches[0].points, (Points{{3, 3}, {2, 2}}));
    EXPECT_EQ(g.branches[0].startNode, 0);
    EXPECT_TRUE(g.branches[0].startNeighbours.empty());
    const Points lonePixels = {{5, 3}, {5, 5}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const SkeletonBranch& lone = g.branches[i + 1];
        EXPECT_EQ(lone.points, (Points{lonePixels[i]}));
        EXPECT_EQ(lone.startNode, -1);
        EXPECT_EQ(lone.endNode, -1);
        EXPECT_TRUE(lone.startNeighbours.empty());
        EXPECT_TRUE(lone.endNeighbours.empty());
    }
}

TEST(DecomposeSkeleton, NoJunctionGivesEmptyTables)
{
    const std::vector<std::vector<std::string>> shapes = {
        {".......", ".......", "..###..", ".......", "......."},
        {".......", "...#...", "..#.#..", "...#...", "......."},
        {"...", "...", "..."},
    };
    for (const auto& art : shapes) {
        SkeletonGraph g;
        g.junctions.resize(3);
        g.branches.resize(2);
        decomposeSkeleton(parseMask(art), g);
        EXPECT_TRUE(g.junctions.empty());
        EXPECT_TRUE(g.branches.empty());
    }
    SkeletonGraph g;
    g.branches.resize(1);
    decomposeSkeleton(cv::Mat(), g);
    EXPECT_TRUE(g.branches.empty());
}

TEST(DecomposeSkeleton, AnyNonzeroValueIsASkeletonPixel)
{
    // Values that equal the working marks (3, 10, 20) or are merely nonzero read as 255.
    cv::Mat skeleton = parseMask(kY);
    skeleton.at<unsigned char>(5, 5) = 20;
    skeleton.at<unsigned char>(4, 4) = 3;
    skeleton.at<unsigned char>(7, 5) = 10;
    skeleton.at<unsigned char>(2, 8) = 1;
    SkeletonGraph g;
    decomposeSkeleton(skeleton, g);
    EXPECT_TRUE(sameGraph(g, decompose(kY)));
    ASSERT_EQ(g.branches.size(), 3u);
    EXPECT_EQ(g.branches[0].points, (Points{{4, 4}, {3, 3}, {2, 2}}));
}

TEST(DecomposeSkeleton, LeavesItsInputUnchanged)
{
    const cv::Mat input = parseMask(kT);
    const cv::Mat before = input.clone();
    SkeletonGraph g;
    decomposeSkeleton(input, g);
    EXPECT_EQ(cv::norm(input, before, cv::NORM_INF), 0);
}

// A plant-like mask: a thick stem with two thick arms leaving its top.
cv::Mat thickYMask()
{
    cv::Mat mask = cv::Mat::zeros(64, 64, CV_8UC1);
    const cv::Scalar plant(255);
    constexpr int kWidth = 7;
    cv::line(mask, {32, 32}, {32, 56}, plant, kWidth);
    cv::line(mask, {32, 32}, {12, 8}, plant, kWidth);
    cv::line(mask, {32, 32}, {52, 8}, plant, kWidth);
    return mask;
}

TEST(DecomposePlantMask, DecomposesTheCleanedSkeletonOfTheMask)
{
    const cv::Mat mask = thickYMask();
    const cv::Mat before = mask.clone();
    SkeletonGraph g;
    decomposePlantMask(mask, g);
    EXPECT_EQ(cv::norm(mask, before, cv::NORM_INF), 0);

    // The three stated steps: thin, clean the thinning's leftovers, decompose.
    SkeletonGraph reference;
    decomposeSkeleton(lutThinning(skeletonFast(mask)), reference);
    EXPECT_TRUE(sameGraph(g, reference));

    // Three arms, each ending free inside the plant.
    int freeEnds = 0;
    for (const SkeletonBranch& b : g.branches) {
        if (b.endNode == -1) ++freeEnds;
        for (const cv::Point& p : b.points) EXPECT_NE(mask.at<unsigned char>(p), 0) << p;
    }
    EXPECT_EQ(freeEnds, 3);
}

TEST(DecomposePlantMask, EmptyMaskEmptiesTheTables)
{
    SkeletonGraph g = decompose(kY);
    decomposePlantMask(cv::Mat::zeros(20, 20, CV_8UC1), g);
    EXPECT_TRUE(g.junctions.empty());
    EXPECT_TRUE(g.branches.empty());
}

TEST(BranchLength, SamplesEveryNthPointAndDropsTheTail)
{
    const struct {
        int points;
        double length;
    } cases[] = {{19, 18}, {1, 0}, {45, 44}, {44, 42}, {200, 190}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        SkeletonBranch b;
        b.points = chain(3, 7, 1, 0, c.points);
        EXPECT_DOUBLE_EQ(branchLength(b), c.length);
    }
}

TEST(BranchLength, DistancesAreTakenAndSummedInDouble)
{
    SkeletonBranch knightSteps;
    knightSteps.points = chain(3, 7, 1, 2, 3);
    EXPECT_EQ(branchLength(knightSteps), 2 * std::sqrt(5.0));
    // 45 diagonal points, step 2: 22 samples of sqrt(8); a float sum is off by about 1e-6.
    SkeletonBranch diagonal;
    diagonal.points = chain(3, 7, 1, 1, 45);
    EXPECT_NEAR(branchLength(diagonal), 22 * std::sqrt(8.0), 1e-12);
}

}  // namespace
