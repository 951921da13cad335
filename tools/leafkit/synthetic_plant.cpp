#include "synthetic_plant.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <random>

namespace leafkit {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180.0;

// Proportions of a plant in the reference frame of 2448 rows x 2048 columns.
constexpr double kReferenceRows = 2448.0;
constexpr double kReferenceCols = 2048.0;
constexpr double kStemBaseFromBottom = 0.09;    // share of the rows below the stem base
constexpr double kStemHeight = 0.45;            // share of the rows the stem spans
constexpr double kLowestInsertion = 0.12;       // share of the stem below the lowest leaf
constexpr double kStemBaseWidth = 32.0;         // pixels in the reference frame
constexpr double kStemTopWidth = 18.0;
constexpr double kStemPositionJitter = 0.02;    // largest base offset from the middle, share of the columns
constexpr double kStemLean = 0.01;              // largest top offset, share of the columns
constexpr double kLongestLeaf = 0.26;           // share of the rows
constexpr double kShortestLeaf = 0.6;           // share of the longest, for the lowest and topmost
constexpr double kLeafWidest = 26.0;            // pixels in the reference frame
constexpr double kLeafWidestAt = 0.35;          // share of the leaf length from the base
constexpr double kLeafBaseWidth = 0.6;          // share of the widest, where the leaf leaves the stem
constexpr double kMinLeafHalfWidth = 1.0;       // keeps the tip drawn
constexpr double kLowLeafStart = 62.0;          // degrees from straight up, lowest leaf
constexpr double kHighLeafStart = 20.0;         // topmost leaf
constexpr double kLowLeafBend = 80.0;           // total droop along the lowest leaf, degrees
constexpr double kHighLeafBend = 25.0;
constexpr double kAngleJitter = 5.0;            // degrees
constexpr double kLengthJitter = 0.08;          // share of the length
constexpr double kEdgeMargin = 0.04;            // share of each side kept free of plant
constexpr int kMidribSteps = 400;
constexpr double kLeafShrink = 0.9;             // a leaf reaching out of the frame is shortened by this

class SeededDraw {
public:
    explicit SeededDraw(std::uint32_t seed) : engine_(seed) {}
    // Uniform in [low, high). mt19937's output sequence is fixed by the standard;
    // the library distributions are not, so the mapping is done here.
    double uniform(double low, double high) { return low + (high - low) * (engine_() / 4294967296.0); }

private:
    std::mt19937 engine_;
};

double lerp(double a, double b, double t) { return a + (b - a) * t; }

// Half the leaf width at fraction t of its length: narrow where it leaves the stem,
// widest at kLeafWidestAt, tapering to a point at the tip.
double leafHalfWidth(double t, double widest)
{
    const double rise =
        t < kLeafWidestAt ? kLeafBaseWidth + (1.0 - kLeafBaseWidth) * std::sin(0.5 * kPi * t / kLeafWidestAt) : 1.0;
    const double taper = t < kLeafWidestAt ? 1.0 : std::sqrt(1.0 - (t - kLeafWidestAt) / (1.0 - kLeafWidestAt));
    return std::max(kMinLeafHalfWidth, 0.5 * widest * rise * taper);
}

struct Midrib {
    std::vector<cv::Point2d> points;  // base to tip
    std::vector<cv::Point2d> normals;
};

// A leaf midrib of the given length: it leaves the stem at `start` degrees from
// straight up, towards `side` (-1 left, +1 right), and droops evenly by `bend` degrees.
Midrib traceMidrib(cv::Point2d base, int side, double length, double start, double bend)
{
    Midrib midrib;
    cv::Point2d at = base;
    const double step = length / kMidribSteps;
    for (int i = 0; i <= kMidribSteps; ++i) {
        const double heading = (start + bend * i / kMidribSteps) * kDegree;
        const cv::Point2d direction(side * std::sin(heading), -std::cos(heading));
        midrib.points.push_back(at);
        midrib.normals.emplace_back(-direction.y, direction.x);
        at += step * direction;
    }
    return midrib;
}

bool insideFrame(const Midrib& midrib, const cv::Rect2d& frame)
{
    return std::all_of(midrib.points.begin(), midrib.points.end(), [&](const cv::Point2d& p) { return frame.contains(p); });
}

void fillLeaf(cv::Mat& mask, const Midrib& midrib, double widest)
{
    std::vector<cv::Point> outline;
    const std::size_t n = midrib.points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double h = leafHalfWidth(static_cast<double>(i) / (n - 1), widest);
        outline.emplace_back(midrib.points[i] + h * midrib.normals[i]);
    }
    for (std::size_t i = n; i-- > 0;) {
        const double h = leafHalfWidth(static_cast<double>(i) / (n - 1), widest);
        outline.emplace_back(midrib.points[i] - h * midrib.normals[i]);
    }
    cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{outline}, cv::Scalar(255), cv::LINE_8);
}

}  // namespace

SyntheticPlant drawSyntheticPlant(const SyntheticPlantSpec& spec)
{
    const int rows = std::clamp(spec.rows, kMinSyntheticSide, kMaxSyntheticSide);
    const int cols = std::clamp(spec.cols, kMinSyntheticSide, kMaxSyntheticSide);
    const int leafCount = std::clamp(spec.leaves, 0, kMaxSyntheticLeaves);
    const double scale = std::min(rows / kReferenceRows, cols / kReferenceCols);
    SeededDraw draw(spec.seed);

    SyntheticPlant plant;
    plant.mask = cv::Mat::zeros(rows, cols, CV_8UC1);
    const double baseY = rows * (1.0 - kStemBaseFromBottom);
    const double topY = baseY - rows * kStemHeight;
    const double baseX = cols * 0.5 + draw.uniform(-kStemPositionJitter, kStemPositionJitter) * cols;
    const double topX = baseX + draw.uniform(-kStemLean, kStemLean) * cols;
    plant.stemWidth = kStemBaseWidth * scale;
    const double topWidth = kStemTopWidth * scale;
    plant.stemBase = cv::Point(cvRound(baseX), cvRound(baseY));
    plant.stemTop = cv::Point(cvRound(topX), cvRound(topY));
    const std::vector<cv::Point> stem = {
        cv::Point2d(baseX - plant.stemWidth / 2, baseY), cv::Point2d(baseX + plant.stemWidth / 2, baseY),
        cv::Point2d(topX + topWidth / 2, topY), cv::Point2d(topX - topWidth / 2, topY)};
    cv::fillConvexPoly(plant.mask, stem, cv::Scalar(255), cv::LINE_8);

    const cv::Rect2d frame(cols * kEdgeMargin, rows * kEdgeMargin, cols * (1 - 2 * kEdgeMargin), rows * (1 - 2 * kEdgeMargin));
    const int firstSide = draw.uniform(0.0, 1.0) < 0.5 ? -1 : 1;
    for (int i = 0; i < leafCount; ++i) {
        // 0 for the lowest leaf, 1 for the topmost.
        const double rank = leafCount == 1 ? 0.5 : static_cast<double>(i) / (leafCount - 1);
        const double along = lerp(kLowestInsertion, 1.0, rank);
        const cv::Point2d base(lerp(baseX, topX, along), lerp(baseY, topY, along));
        const int side = i % 2 == 0 ? firstSide : -firstSide;
        const double start = lerp(kLowLeafStart, kHighLeafStart, rank) + draw.uniform(-kAngleJitter, kAngleJitter);
        const double bend = lerp(kLowLeafBend, kHighLeafBend, rank) + draw.uniform(-kAngleJitter, kAngleJitter);
        // Middle leaves are the longest.
        const double shape = kShortestLeaf + (1.0 - kShortestLeaf) * std::sin(kPi * (i + 1) / (leafCount + 1));
        double length = rows * kLongestLeaf * shape * (1.0 + draw.uniform(-kLengthJitter, kLengthJitter));
        Midrib midrib = traceMidrib(base, side, length, start, bend);
        while (!insideFrame(midrib, frame)) {
            length *= kLeafShrink;
            midrib = traceMidrib(base, side, length, start, bend);
        }
        fillLeaf(plant.mask, midrib, kLeafWidest * scale);
        plant.leaves.push_back({cv::Point(base), cv::Point(midrib.points.back()), length});
    }
    return plant;
}

}  // namespace leafkit
