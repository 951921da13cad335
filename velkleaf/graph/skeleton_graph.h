// The skeleton graph: junction pixels become nodes, the pixel chains between them
// branches. One SkeletonGraph holds both tables; every stage receives it explicitly.
#ifndef LEAFKIT_VELKLEAF_SKELETON_GRAPH_H
#define LEAFKIT_VELKLEAF_SKELETON_GRAPH_H

#include <opencv2/core.hpp>

#include <vector>

// Branch roles written by the stem marking.
constexpr int kRoleUnset = 0;
constexpr int kRoleStem = 1;
constexpr int kRoleLeaf = 2;

// Travel directions written by the leaf path search.
constexpr int kFirstToLast = 0;
constexpr int kLastToFirst = 1;
constexpr int kBothWays = 2;

struct JunctionNode {
    int x = 0;
    int y = 0;
    std::vector<int> branchIds;  // in the order added, no id twice
};

struct SkeletonBranch {
    std::vector<cv::Point> points;  // tracing order; the first point touches the start junction
    int startNode = -1;             // junction index at the first point, -1 when none
    int endNode = -1;               // junction index at the last point, -1 for a free end
    bool visited = false;
    int id = 0;
    int direction = kFirstToLast;
    std::vector<int> endNeighbours;
    std::vector<int> startNeighbours;
    int role = kRoleUnset;
    bool exhausted = false;
    bool kept = true;

    bool isFree() const { return startNode == -1 || endNode == -1; }
};

// The junction table and the branch table; a record's index is its identity.
struct SkeletonGraph {
    std::vector<JunctionNode> junctions;
    std::vector<SkeletonBranch> branches;
};

// Rebuilds both tables from an 8-bit one-channel skeleton (nonzero = skeleton);
// the image is not modified. Empty input: empty tables.
void decomposeSkeleton(const cv::Mat& skeleton, SkeletonGraph& graph);

// skeletonFast, then lutThinning, then decomposeSkeleton.
void decomposePlantMask(const cv::Mat& mask, SkeletonGraph& graph);

// Length of the chain sampled every n / 20 points (clamped to 1..10); the stretch after
// the last sample is not counted.
double branchLength(const SkeletonBranch& branch);

#endif
