// Mean stem diameter from the stem branches and the mask's distance map.
#ifndef LEAFKIT_VELKLEAF_STEM_THICKNESS_H
#define LEAFKIT_VELKLEAF_STEM_THICKNESS_H

#include "graph/skeleton_graph.h"

#include <opencv2/core.hpp>

// Twice the mean of the row radii above 3 pixels found at every stem branch point; 0
// when there is none. showDebug draws the radii over the mask and shows them.
double measureStemThickness(const cv::Mat& mask, bool showDebug, const SkeletonGraph& graph);

#endif
