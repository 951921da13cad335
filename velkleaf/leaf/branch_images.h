// Renderings of the skeleton graph's kept branches.
#ifndef LEAFKIT_VELKLEAF_BRANCH_IMAGES_H
#define LEAFKIT_VELKLEAF_BRANCH_IMAGES_H

#include "graph/skeleton_graph.h"

#include <opencv2/core.hpp>

// Kept branches and joining junctions, 0/255, cleaned by lutThinning.
cv::Mat drawBranchMask(int rows, int cols, const SkeletonGraph& graph);

// Kept stem branches of more than 20 points, 0/255, cleaned by lutThinning.
cv::Mat drawStemMask(int rows, int cols, const SkeletonGraph& graph);

// Kept branches in colour (stem yellow, leaf green), joining junctions red (BGR).
cv::Mat drawBranchOverview(int rows, int cols, const SkeletonGraph& graph);

#endif
