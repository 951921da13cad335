#include "leaf_job.h"

#include "image_files.h"
#include "velkleaf.h"

#include <nlohmann/json.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace leafkit {
namespace {

// Room for this many leaves first; a plant with more is run again with room for all.
constexpr int kInitialLeafCapacity = 64;
// The seed an unseeded rand starts from: every image is drawn as by a fresh process.
constexpr unsigned kOverviewColourSeed = 1;
// Marks per-leaf entries velkleaf did not write (a leaf without a path).
constexpr int kUnwritten = std::numeric_limits<int>::min();

struct ExtractionBuffers {
    explicit ExtractionBuffers(int capacity, std::size_t pixels)
        : tips(2 * capacity, kUnwritten), bases(2 * capacity, kUnwritten),
          baseAngles(capacity), chordAngles(capacity), leafLengths(capacity), chordLengths(capacity),
          red(pixels), green(pixels), blue(pixels)
    {
    }
    int leafCount = 0;
    std::vector<int> tips, bases;
    std::vector<double> baseAngles, chordAngles, leafLengths, chordLengths;
    double stemDiameter = std::numeric_limits<double>::quiet_NaN();
    std::vector<unsigned char> red, green, blue;
};

ExtractionBuffers extractLeaves(const cv::Mat& mask, int capacity)
{
    ExtractionBuffers b(capacity, mask.total());
    std::srand(kOverviewColourSeed);
    maizeSingleLeafExtraction_autoN(mask.data, mask.rows, mask.cols, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                    b.chordAngles.data(), b.bases.data(), b.leafLengths.data(), b.chordLengths.data(),
                                    &b.stemDiameter, b.red.data(), b.blue.data(), b.green.data(), false, capacity);
    return b;
}

std::vector<LeafRecord> leafRecords(const ExtractionBuffers& b)
{
    std::vector<LeafRecord> leaves;
    for (int i = 0; i < b.leafCount; ++i) {
        LeafRecord leaf;
        leaf.number = i + 1;
        leaf.traced = b.tips[2 * i] != kUnwritten;
        if (leaf.traced) {
            leaf.tip = {b.tips[2 * i], b.tips[2 * i + 1]};
            leaf.base = {b.bases[2 * i], b.bases[2 * i + 1]};
            leaf.baseAngle = b.baseAngles[i];
            leaf.chordAngle = b.chordAngles[i];
            leaf.leafLength = b.leafLengths[i];
            leaf.chordLength = b.chordLengths[i];
        }
        leaves.push_back(leaf);
    }
    return leaves;
}

std::vector<unsigned char> overviewPng(const ExtractionBuffers& b, int rows, int cols)
{
    // const_cast: Mat headers over our own planes, only read by merge.
    std::vector<cv::Mat> planes = {cv::Mat(rows, cols, CV_8UC1, const_cast<unsigned char*>(b.blue.data())),
                                   cv::Mat(rows, cols, CV_8UC1, const_cast<unsigned char*>(b.green.data())),
                                   cv::Mat(rows, cols, CV_8UC1, const_cast<unsigned char*>(b.red.data()))};
    cv::Mat overview;
    cv::merge(planes, overview);
    std::vector<unsigned char> png;
    cv::imencode(".png", overview, png);
    return png;
}

void analyse(ImageOutcome& outcome)
{
    const cv::Mat mask = readPlantMask(outcome.input);
    outcome.rows = mask.rows;
    outcome.cols = mask.cols;
    if (static_cast<long long>(mask.rows) * mask.cols > kMaxLeafJobPixels)
        throw std::runtime_error(outcome.input + ": too large for the leaf extraction (more than " +
                                 std::to_string(kMaxLeafJobPixels) + " pixels)");
    if (cv::countNonZero(mask) == 0) throw std::runtime_error(outcome.input + ": no plant pixels (an empty mask)");
    ExtractionBuffers result = extractLeaves(mask, kInitialLeafCapacity);
    if (result.leafCount > kInitialLeafCapacity) result = extractLeaves(mask, result.leafCount);
    outcome.leaves = leafRecords(result);
    if (!std::isnan(result.stemDiameter)) outcome.stemDiameter = result.stemDiameter;
    outcome.overviewPng = overviewPng(result, mask.rows, mask.cols);
}

}  // namespace

ImageOutcome analyseImage(const std::string& input)
{
    ImageOutcome outcome;
    outcome.input = input;
    try {
        analyse(outcome);
    } catch (const std::exception& e) {
        outcome.error = e.what();
        outcome.leaves.clear();
        outcome.overviewPng.clear();
    }
    return outcome;
}

std::string encodeOutcome(const ImageOutcome& outcome)
{
    nlohmann::json leaves = nlohmann::json::array();
    for (const LeafRecord& l : outcome.leaves)
        leaves.push_back({l.number, l.traced, l.tip.x, l.tip.y, l.base.x, l.base.y, l.baseAngle, l.chordAngle,
                          l.leafLength, l.chordLength});
    const nlohmann::json message = {
        {"input", outcome.input},
        {"error", outcome.error},
        {"rows", outcome.rows},
        {"cols", outcome.cols},
        {"stem", outcome.stemDiameter ? nlohmann::json(*outcome.stemDiameter) : nlohmann::json()},
        {"leaves", leaves},
        {"overview", nlohmann::json::binary(outcome.overviewPng)}};
    const std::vector<std::uint8_t> cbor = nlohmann::json::to_cbor(message);
    return std::string(cbor.begin(), cbor.end());
}

ImageOutcome decodeOutcome(const std::string& bytes)
{
    const nlohmann::json message = nlohmann::json::from_cbor(bytes);
    ImageOutcome outcome;
    outcome.input = message.at("input").get<std::string>();
    outcome.error = message.at("error").get<std::string>();
    outcome.rows = message.at("rows").get<int>();
    outcome.cols = message.at("cols").get<int>();
    if (!message.at("stem").is_null()) outcome.stemDiameter = message.at("stem").get<double>();
    for (const auto& l : message.at("leaves")) {
        LeafRecord leaf;
        leaf.number = l[0].get<int>();
        leaf.traced = l[1].get<bool>();
        leaf.tip = {l[2].get<int>(), l[3].get<int>()};
        leaf.base = {l[4].get<int>(), l[5].get<int>()};
        leaf.baseAngle = l[6].get<double>();
        leaf.chordAngle = l[7].get<double>();
        leaf.leafLength = l[8].get<double>();
        leaf.chordLength = l[9].get<double>();
        outcome.leaves.push_back(leaf);
    }
    outcome.overviewPng = message.at("overview").get_binary();
    return outcome;
}

}  // namespace leafkit
