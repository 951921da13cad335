// Synthetic plant masks for tests, benchmarks and demos: one upright maize plant, a
// stem rising from the bottom rows and a chosen number of curved, tapering leaves,
// alternating left and right as maize leaves do in a side view. The same spec and
// seed always give the same mask, on every platform.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <vector>

namespace leafkit {

struct SyntheticPlantSpec {
    int rows = 2448;  // the side camera's frame; rows below 1800 hold the stem base
    int cols = 2048;
    int leaves = 6;
    std::uint32_t seed = 1;
};

struct SyntheticLeaf {
    cv::Point base;       // where the leaf leaves the stem
    cv::Point tip;
    double length = 0.0;  // along the midrib, pixels
};

struct SyntheticPlant {
    cv::Mat mask;                       // CV_8UC1, plant 255, background 0
    std::vector<SyntheticLeaf> leaves;  // from the lowest insertion to the highest
    cv::Point stemBase;                 // centre of the stem's lowest row
    cv::Point stemTop;
    double stemWidth = 0.0;             // at the base, pixels
};

// Sides outside kMinSyntheticSide..kMaxSyntheticSide and leaf counts outside
// 0..kMaxSyntheticLeaves are clamped to the nearest allowed value.
constexpr int kMinSyntheticSide = 200;
constexpr int kMaxSyntheticSide = 20000;
constexpr int kMaxSyntheticLeaves = 30;

SyntheticPlant drawSyntheticPlant(const SyntheticPlantSpec& spec);

}  // namespace leafkit
