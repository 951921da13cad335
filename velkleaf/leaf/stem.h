// Which branches of the skeleton graph form the stem.
#ifndef LEAFKIT_VELKLEAF_STEM_H
#define LEAFKIT_VELKLEAF_STEM_H

#include "graph/skeleton_graph.h"

#include <opencv2/core.hpp>

#include <vector>

// The stem column is searched in the skeleton rows from here to the bottom.
constexpr int kStemSearchFirstRow = 1800;

// Midpoint of a branch's first and last point (integer halves).
cv::Point branchMidpoint(const SkeletonBranch& branch);

// Gives every branch role stem or leaf by its midpoint column against a band around the
// densest 20-column window of skeletonImage's bottom rows; at least one stem branch.
void markStem(const cv::Mat& skeletonImage, SkeletonGraph& graph);

// Stem branches whose midpoint row is above cutRow become leaf; the lowest former stem
// branch stays stem when none would be left.
void trimStemAbove(int cutRow, SkeletonGraph& graph);

// The row above which the stem counts as leaf, from the bases (last points) of the
// first-pass leaves of an image of the given rows.
int stemCutRow(const std::vector<std::vector<cv::Point>>& leaves, int rows);

#endif
