// The leaf extraction driver behind the maizeSingleLeafExtraction exports.
#ifndef LEAFKIT_VELKLEAF_LEAF_EXTRACTION_H
#define LEAFKIT_VELKLEAF_LEAF_EXTRACTION_H

#include "graph/skeleton_graph.h"

#include <opencv2/core.hpp>

#include <cstdint>

// The caller's buffers, all non-null and sized for the image; the per-leaf arrays are
// written for the first capacity leaves only.
struct LeafOutputs {
    int* leafCount;
    int* tipPoints;
    double* baseAngles;
    double* chordAngles;
    int* basePoints;
    double* leafLengths;
    double* chordLengths;
    double* stemDiameter;
    unsigned char* overlayRed;
    unsigned char* overlayBlue;
    unsigned char* overlayGreen;
    std::int64_t capacity;
};

// Finds the leaves of the plant in image (8-bit, one channel, nonzero = plant; never
// written) and writes them to out. graph is rebuilt twice and left filled.
void extractLeaves(const cv::Mat& image, bool showDebug, SkeletonGraph& graph, const LeafOutputs& out);

#endif
