// One image through the leaf extraction: read the mask, run velkleaf's capacity-safe
// export, and keep the leaves, the stem diameter and the encoded overview image.
#pragma once

#include <opencv2/core.hpp>

#include <optional>
#include <string>
#include <vector>

namespace leafkit {

// velkleaf refuses masks above this many pixels.
constexpr long long kMaxLeafJobPixels = 536'870'911;

struct LeafRecord {
    int number = 0;  // 1-based, in the order velkleaf reports the leaves
    bool traced = false;  // false: no path to the stem was found, and nothing else is known
    cv::Point tip, base;
    double baseAngle = 0, chordAngle = 0;     // degrees from straight up
    double leafLength = 0, chordLength = 0;   // pixels
};

struct ImageOutcome {
    std::string input;
    std::string error;  // empty when the image was analysed
    int rows = 0, cols = 0;
    std::optional<double> stemDiameter;  // pixels; none when no leaf tip was found
    std::vector<LeafRecord> leaves;
    std::vector<unsigned char> overviewPng;
};

// Never throws: a failure is described in outcome.error as "<file>: <reason>".
// The C runtime's rand, which gives the overview's leaf colours, is seeded before each
// image, so an image gets the same colours whichever process analyses it.
ImageOutcome analyseImage(const std::string& input);

// The outcome as bytes for the trip from a worker process, and back.
std::string encodeOutcome(const ImageOutcome& outcome);
ImageOutcome decodeOutcome(const std::string& bytes);

}  // namespace leafkit
