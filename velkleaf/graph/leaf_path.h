// Greedy search of a leaf's pixel path over the skeleton graph, from a tip to the stem.
#ifndef LEAFKIT_VELKLEAF_LEAF_PATH_H
#define LEAFKIT_VELKLEAF_LEAF_PATH_H

#include "graph/skeleton_graph.h"

#include <opencv2/core.hpp>

#include <vector>

struct LeafSearchImages {
    cv::Mat branchMask;  // the skeleton the tables were built from; snaps the seed
    cv::Mat stemMask;    // the stem; cuts the path where it reaches the stem
};

struct LeafPath {
    std::vector<int> branchIds;  // travel order
    double length = 0;           // branchLength of every branch after the first
    bool active = true;
};

// The path from seed to the stem, tip first, sampled and cut at the stem; empty when no
// stem branch can be reached. Writes visited, direction and exhausted of the branches.
// A winning path of a single point (a one-pixel stem branch) gives an empty result.
std::vector<cv::Point> traceLeafPath(const LeafSearchImages& images, cv::Point seed, SkeletonGraph& graph);

// The first nonzero pixel on square rings of growing radius around p; (0, 0) when none
// lies within min(rows, cols) / 4 rings.
cv::Point nearestForegroundPixel(const cv::Mat& image, cv::Point p);

// Every step-th point of the joined path plus its last two points, step = max(n / 20, 3).
// Fewer than two points: empty.
std::vector<cv::Point> sampleLeafPoints(const std::vector<cv::Point>& joined);

// Keeps points up to and including the first within chessboard distance 5 of the stem.
std::vector<cv::Point> cutAtStem(std::vector<cv::Point> points, const cv::Mat& stemMask);

#endif
