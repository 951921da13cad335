// Skeleton inputs for the skeleton walkers' benchmarks: velkleaf's skeleton of a real mask,
// 255 on the skeleton, and the same with FreeEndDetect's free-end (1) and junction (2) marks.
// A program including this links velkleaf and tipscan.
#ifndef LEAFKIT_BENCH_SKELETON_H
#define LEAFKIT_BENCH_SKELETON_H

#include "bench_inputs.h"
#include "tipscan.h"
#include "velkleaf.h"

#include <opencv2/core.hpp>

#include <vector>

inline cv::Mat plantSkeleton(const cv::Mat& mask)
{
    cv::Mat src = mask.clone();
    cv::Mat skeleton(mask.size(), CV_8UC1);
    skeleton_C_Fast(src.ptr(), src.rows, src.cols, skeleton.ptr());
    // The large-image path leaves any nonzero value on the skeleton; the walkers read 255.
    skeleton.setTo(255, skeleton != 0);
    return skeleton;
}

inline cv::Mat markedSkeleton(const cv::Mat& mask)
{
    cv::Mat marked = plantSkeleton(mask);
    FreeEndDetect(marked.ptr(), marked.cols, marked.rows, nullptr, nullptr);
    return marked;
}

// Each input mask replaced by its skeleton, marked or not.
inline std::vector<BenchInput> skeletonsOf(std::vector<BenchInput> inputs, bool marked)
{
    for (BenchInput& input : inputs)
        if (!input.image.empty()) input.image = marked ? markedSkeleton(input.image) : plantSkeleton(input.image);
    return inputs;
}

#endif
