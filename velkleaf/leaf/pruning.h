// Pruning of short side branches and the leaf tip candidates.
#ifndef LEAFKIT_VELKLEAF_PRUNING_H
#define LEAFKIT_VELKLEAF_PRUNING_H

#include "graph/skeleton_graph.h"

#include <opencv2/core.hpp>

#include <vector>

// Clears kept on free non-stem branches shorter than fraction times the mean length of
// the ten longest kept branches.
void pruneShortBranches(double fraction, SkeletonGraph& graph);

// The free end of every kept, free, non-stem branch longer than 30 pixels, table order.
std::vector<cv::Point> collectTipCandidates(const SkeletonGraph& graph);

#endif
