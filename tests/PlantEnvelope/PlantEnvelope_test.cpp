#include "PlantEnvelope.h"
#include "envelope.h"
#include "mask_art.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using plantenvelope::PointList;

constexpr unsigned char kBwSentinel = 77;          // what the caller left in hullimage_bw
const cv::Vec4b kRgbSentinel(11, 22, 33, 44);      // what the caller left in hullimage_rgb
const cv::Vec4b kContourColour(0, 0, 255, 0);
const cv::Vec4b kVertexColour(0, 255, 0, 0);
// How far from the hull outline the drawing may change pixels: the 3-pixel outline and
// the vertex circles (radius 3, 3 px wide) stay within 5 px; one pixel of slack.
constexpr int kDrawingReach = 6;
constexpr int kDrawingBandThickness = 2 * kDrawingReach + 1;

// The two output buffers, prefilled with the caller's own values.
struct Outputs {
    cv::Mat bw, rgb;
    Outputs(int rows, int cols)
        : bw(rows, cols, CV_8UC1, cv::Scalar(kBwSentinel)), rgb(rows, cols, CV_8UC4, cv::Scalar(kRgbSentinel))
    {
    }
};

double runEnvelope(const cv::Mat& mask, Outputs& out)
{
    return PlantEnvelope(mask.ptr(), mask.cols, mask.rows, out.bw.ptr(), out.rgb.ptr());
}

bool sameBytes(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::countNonZero(a.reshape(1) != b.reshape(1)) == 0;
}

// Pixels that a call changed in each output.
cv::Mat changedBw(const Outputs& out) { return out.bw != kBwSentinel; }
cv::Mat changedRgb(const Outputs& out)
{
    const cv::Mat sentinel(out.rgb.size(), CV_8UC4, cv::Scalar(kRgbSentinel));
    std::vector<cv::Mat> planes;
    cv::split(out.rgb != sentinel, planes);
    return planes[0] | planes[1] | planes[2] | planes[3];
}

// ---- the hull area on hand-drawn masks ----

const std::vector<std::string> kTwoBlobs = {
    "........",
    ".##.....",
    ".##.....",
    "........",
    "......##",
    "......##",
    "........"};

const std::vector<std::string> kRingWithIsland = {
    ".........",
    ".#######.",
    ".#######.",
    ".##...##.",
    ".##.#.##.",
    ".##...##.",
    ".#######.",
    ".#######.",
    "........."};

struct AreaCase {
    const char* name;
    std::vector<std::string> mask;
    double area;  // worked out by hand from the hull through the boundary pixels' centres
};

const AreaCase kAreaCases[] = {
    {"filled 4 x 3 rectangle: corner centres span 3 x 2, not the 12 pixels",
     {"......",
      ".####.",
      ".####.",
      ".####.",
      "......"},
     6},
    {"staircase touching the top and left borders: triangle (0,0) (4,4) (0,4)",
     {"#....",
      "##...",
      "###..",
      "####.",
      "#####"},
     8},
    {"plus sign of value 1: diamond with diagonals 4 and 4",
     {"..1..",
      "..1..",
      "11111",
      "..1..",
      "..1.."},
     8},
    {"two separate blobs: one hull (1,1) (2,1) (7,4) (7,5) (6,5) (1,2) that includes the gap",
     kTwoBlobs,
     9},
    {"square ring with an island in its hole: the hole is ignored, 6 x 6",
     kRingWithIsland,
     36},
    {"one pixel: a hull of one vertex",
     {"...",
      ".#.",
      "..."},
     0},
    {"diagonal line: a hull of two vertices",
     {"#....",
      ".#...",
      "..#..",
      "...#."},
     0},
    {"two pixels far apart on one row: a segment",
     {"#......#"},
     0},
};

TEST(PlantEnvelope, HullAreaOfHandDrawnMasks)
{
    for (const AreaCase& c : kAreaCases) {
        SCOPED_TRACE(c.name);
        const cv::Mat mask = parseMask(c.mask);
        Outputs out(mask.rows, mask.cols);
        EXPECT_DOUBLE_EQ(runEnvelope(mask, out), c.area);
    }
}

TEST(PlantEnvelope, FilledRectangleGivesAreaThroughCornerCentres)
{
    // Columns 10 to 29, rows 20 to 49: 19 x 29 = 551, not the pixel count 600.
    cv::Mat mask = cv::Mat::zeros(70, 45, CV_8UC1);
    mask(cv::Rect(10, 20, 20, 30)).setTo(255);
    Outputs out(mask.rows, mask.cols);
    EXPECT_DOUBLE_EQ(runEnvelope(mask, out), 551.0);
}

TEST(PlantEnvelope, RingDrawsAndMeasuresLikeTheFilledSquare)
{
    const cv::Mat ring = parseMask(kRingWithIsland);
    cv::Mat filled = cv::Mat::zeros(ring.size(), CV_8UC1);
    filled(cv::Rect(1, 1, 7, 7)).setTo(255);
    Outputs ringOut(ring.rows, ring.cols), filledOut(ring.rows, ring.cols);
    EXPECT_DOUBLE_EQ(runEnvelope(ring, ringOut), runEnvelope(filled, filledOut));
    EXPECT_TRUE(sameBytes(ringOut.bw, filledOut.bw));
    EXPECT_TRUE(sameBytes(ringOut.rgb, filledOut.rgb));
}

// ---- the drawing ----

// A 20 x 30 rectangle at columns 10..29, rows 20..49 on a 45-column, 70-row image.
class RectangleDrawing : public ::testing::Test {
protected:
    RectangleDrawing() : mask(cv::Mat::zeros(70, 45, CV_8UC1)), out(70, 45) { mask(box).setTo(255); }
    void SetUp() override { runEnvelope(mask, out); }
    const cv::Rect box{10, 20, 20, 30};
    cv::Mat mask;
    Outputs out;
};

TEST_F(RectangleDrawing, OutlineRunsThroughTheHullVerticesAndEdges)
{
    for (const cv::Point corner : {cv::Point(10, 20), cv::Point(29, 20), cv::Point(29, 49), cv::Point(10, 49)})
        EXPECT_EQ(out.bw.at<unsigned char>(corner), 255) << corner;
    // The centre line of a 3-pixel line is fully covered.
    for (int x = 11; x <= 28; ++x) EXPECT_EQ(out.bw.at<unsigned char>(20, x), 255) << x;
    for (int y = 21; y <= 48; ++y) EXPECT_EQ(out.bw.at<unsigned char>(y, 10), 255) << y;
}

TEST_F(RectangleDrawing, ContoursLieOnTopInRed)
{
    // Every boundary pixel of the rectangle belongs to its outer contour, drawn last.
    for (int x = box.x; x < box.br().x; ++x) {
        EXPECT_EQ(out.rgb.at<cv::Vec4b>(box.y, x), kContourColour) << x;
        EXPECT_EQ(out.rgb.at<cv::Vec4b>(box.br().y - 1, x), kContourColour) << x;
    }
    for (int y = box.y; y < box.br().y; ++y) {
        EXPECT_EQ(out.rgb.at<cv::Vec4b>(y, box.x), kContourColour) << y;
        EXPECT_EQ(out.rgb.at<cv::Vec4b>(y, box.br().x - 1), kContourColour) << y;
    }
}

TEST_F(RectangleDrawing, PixelsAwayFromTheDrawingKeepTheCallersValues)
{
    cv::Mat near = cv::Mat::zeros(mask.size(), CV_8UC1);
    cv::rectangle(near, box.tl(), box.br() - cv::Point(1, 1), cv::Scalar(255), kDrawingBandThickness);
    EXPECT_EQ(cv::countNonZero(changedBw(out) & ~near), 0);
    EXPECT_EQ(cv::countNonZero(changedRgb(out) & ~near), 0);
}

TEST_F(RectangleDrawing, HullRunsCounterClockwiseWithTheYAxisUp)
{
    // Clockwise flag false: counter-clockwise in axes with y up, so on the image (y down) the
    // hull goes top-left, top-right, bottom-right, bottom-left, whichever vertex it starts at.
    const plantenvelope::PlantHull plantHull = plantenvelope::buildPlantHull(mask);
    const PointList corners = {{10, 20}, {29, 20}, {29, 49}, {10, 49}};
    ASSERT_EQ(plantHull.hull_points.size(), corners.size());
    ASSERT_EQ(plantHull.hull.size(), corners.size());
    const auto start = std::find(corners.begin(), corners.end(), plantHull.hull_points.front());
    ASSERT_NE(start, corners.end());
    const std::size_t first = static_cast<std::size_t>(start - corners.begin());
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const cv::Point expected = corners[(first + i) % corners.size()];
        EXPECT_EQ(plantHull.hull_points[i], expected) << i;
        EXPECT_EQ(plantHull.totalcontours[plantHull.hull[i]], expected) << i;
    }
}

TEST(PlantEnvelope, SlantedOutlineIsAntiAliased)
{
    // A right triangle whose hypotenuse runs at 45 degrees: an anti-aliased line blends its
    // edges with the caller's values, so the outline holds grays between them and 255.
    cv::Mat mask = cv::Mat::zeros(30, 30, CV_8UC1);
    for (int y = 5; y <= 24; ++y) mask.row(y).colRange(5, y + 1).setTo(255);
    Outputs out(mask.rows, mask.cols);
    runEnvelope(mask, out);
    const cv::Mat blended = (out.bw > kBwSentinel) & (out.bw < 255);
    EXPECT_GT(cv::countNonZero(blended), 0);
}

TEST(PlantEnvelope, OnePixelIsMarkedAtThatPixelOnly)
{
    // Width first: 16 columns, 13 rows, the plant pixel at column 9, row 6.
    cv::Mat mask = cv::Mat::zeros(13, 16, CV_8UC1);
    const cv::Point pixel(9, 6);
    mask.at<unsigned char>(pixel) = 255;
    Outputs out(mask.rows, mask.cols);
    EXPECT_DOUBLE_EQ(runEnvelope(mask, out), 0.0);

    EXPECT_EQ(out.bw.at<unsigned char>(pixel), 255);
    EXPECT_EQ(out.rgb.at<cv::Vec4b>(pixel), kContourColour);
    // The vertex circle (radius 3, 3 px wide) is drawn after the zero-length outline.
    for (const cv::Point step : {cv::Point(3, 0), cv::Point(-3, 0), cv::Point(0, 3), cv::Point(0, -3)})
        EXPECT_EQ(out.rgb.at<cv::Vec4b>(pixel + step), kVertexColour) << step;
    cv::Mat near = cv::Mat::zeros(mask.size(), CV_8UC1);
    cv::circle(near, pixel, kDrawingReach, cv::Scalar(255), cv::FILLED);
    EXPECT_GT(cv::countNonZero(changedBw(out)), 0);
    EXPECT_EQ(cv::countNonZero(changedBw(out) & ~near), 0);
    EXPECT_EQ(cv::countNonZero(changedRgb(out) & ~near), 0);
}

TEST(PlantEnvelope, VertexCircleOfRadiusThreeIsThreePixelsWide)
{
    // A 3-pixel stroke centred on a circle of radius 3 covers the pixels 2, 3 and 4 away from the
    // vertex along each axis; a 1-pixel stroke would cover only those 3 away.
    cv::Mat mask = cv::Mat::zeros(15, 15, CV_8UC1);
    const cv::Point pixel(7, 7);
    mask.at<unsigned char>(pixel) = 255;
    Outputs out(mask.rows, mask.cols);
    runEnvelope(mask, out);
    for (const int distance : {2, 4})
        for (const cv::Point direction : {cv::Point(1, 0), cv::Point(-1, 0), cv::Point(0, 1), cv::Point(0, -1)})
            EXPECT_EQ(out.rgb.at<cv::Vec4b>(pixel + distance * direction), kVertexColour) << distance * direction;
}

TEST(PlantEnvelope, SecondCallOnFreshBuffersDrawsTheSame)
{
    const cv::Mat mask = parseMask(kTwoBlobs);
    Outputs first(mask.rows, mask.cols), second(mask.rows, mask.cols);
    const double area = runEnvelope(mask, first);
    EXPECT_DOUBLE_EQ(runEnvelope(mask, second), area);
    EXPECT_TRUE(sameBytes(first.bw, second.bw));
    EXPECT_TRUE(sameBytes(first.rgb, second.rgb));
}

// ---- empty masks and unusable arguments ----

TEST(PlantEnvelope, EmptyMaskReturnsZeroAndLeavesBuffersUntouched)
{
    const cv::Mat mask = cv::Mat::zeros(8, 12, CV_8UC1);
    Outputs out(mask.rows, mask.cols);
    EXPECT_EQ(runEnvelope(mask, out), 0.0);
    EXPECT_EQ(cv::countNonZero(changedBw(out)), 0);
    EXPECT_EQ(cv::countNonZero(changedRgb(out)), 0);
}

TEST(PlantEnvelope, NullPointersAndNonPositiveSizesWriteNothing)
{
    const cv::Mat mask = parseMask(kAreaCases[0].mask);
    Outputs out(mask.rows, mask.cols);
    const unsigned char* image = mask.ptr();
    unsigned char* bw = out.bw.ptr();
    unsigned char* rgb = out.rgb.ptr();
    const int cols = mask.cols, rows = mask.rows;
    struct Call {
        const char* name;
        double result;
    };
    const Call calls[] = {
        {"null image", PlantEnvelope(nullptr, cols, rows, bw, rgb)},
        {"null hullimage_bw", PlantEnvelope(image, cols, rows, nullptr, rgb)},
        {"null hullimage_rgb", PlantEnvelope(image, cols, rows, bw, nullptr)},
        {"zero cols", PlantEnvelope(image, 0, rows, bw, rgb)},
        {"zero rows", PlantEnvelope(image, cols, 0, bw, rgb)},
        {"negative cols", PlantEnvelope(image, -cols, rows, bw, rgb)},
        {"negative rows", PlantEnvelope(image, cols, -rows, bw, rgb)},
        {"most negative sizes", PlantEnvelope(image, INT_MIN, INT_MIN, bw, rgb)},
        {"width too long to frame", PlantEnvelope(image, INT_MAX - 1, 1, bw, rgb)},
        {"height too long to frame", PlantEnvelope(image, 1, INT_MAX, bw, rgb)},
        {"everything null or zero", PlantEnvelope(nullptr, 0, 0, nullptr, nullptr)},
    };
    for (const Call& call : calls) {
        SCOPED_TRACE(call.name);
        EXPECT_EQ(call.result, 0.0);
    }
    EXPECT_EQ(cv::countNonZero(changedBw(out)), 0);
    EXPECT_EQ(cv::countNonZero(changedRgb(out)), 0);
}

// ---- the area formula ----

TEST(HullArea, FanOfTrianglesFromTheFirstVertex)
{
    // Square of side 4 in either winding; a pentagon (0,0) (4,0) (6,3) (2,6) (-1,3):
    // fan triangles 12 + 30 + 12 = 54 twice the area.
    EXPECT_DOUBLE_EQ(plantenvelope::hullArea({{0, 0}, {4, 0}, {4, 4}, {0, 4}}), 16.0);
    EXPECT_DOUBLE_EQ(plantenvelope::hullArea({{0, 0}, {0, 4}, {4, 4}, {4, 0}}), 16.0);
    EXPECT_DOUBLE_EQ(plantenvelope::hullArea({{0, 0}, {4, 0}, {6, 3}, {2, 6}, {-1, 3}}), 27.0);
}

TEST(HullArea, FewerThanThreeVerticesGiveZero)
{
    EXPECT_EQ(plantenvelope::hullArea({}), 0.0);
    EXPECT_EQ(plantenvelope::hullArea({{5, 5}}), 0.0);
    EXPECT_EQ(plantenvelope::hullArea({{5, 5}, {90, 40}}), 0.0);
}

TEST(HullArea, CrossProductBeyondInt32RangeDoesNotWrap)
{
    // 50000 x 50000 = 2.5e9 exceeds the 32-bit range; the triangle's area is 1.25e9.
    EXPECT_DOUBLE_EQ(plantenvelope::hullArea({{0, 0}, {50000, 0}, {0, 50000}}), 1.25e9);
}

// ---- a real plant ----

// The bundled sample masks travel with the source, so these tests run on every checkout.
cv::Mat loadSampleMask(const std::string& name)
{
    const char* dir = std::getenv("LEAFKIT_SOURCE_DIR");
    if (!dir) return {};
    return cv::imread(std::string(dir) + "/data/samples/" + name, cv::IMREAD_GRAYSCALE);
}

class RealPlant : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A ten-leaf plant seen with its leaves spread (INRAE Phenoarch via openalea/phenomenal).
        mask = loadSampleMask("phenoarch_leaf_extension_90.png");
        if (mask.empty()) GTEST_SKIP() << "sample masks not found (LEAFKIT_SOURCE_DIR)";
    }
    cv::Mat mask;
};

TEST_F(RealPlant, AreaEqualsTheHullOfAllPlantPixels)
{
    // Independent route: the hull of every plant pixel, no contours, measured by OpenCV.
    PointList plantPixels;
    cv::findNonZero(mask, plantPixels);
    PointList hullOfAll;
    cv::convexHull(plantPixels, hullOfAll);
    const double expected = cv::contourArea(hullOfAll);

    const cv::Mat before = mask.clone();
    Outputs out(mask.rows, mask.cols);
    EXPECT_DOUBLE_EQ(runEnvelope(mask, out), expected);
    EXPECT_GT(expected, static_cast<double>(plantPixels.size()));  // spread leaves leave gaps inside
    EXPECT_TRUE(sameBytes(mask, before));
}

TEST_F(RealPlant, BothHullsDescribeOnePolygonInOneOrder)
{
    const plantenvelope::PlantHull plantHull = plantenvelope::buildPlantHull(mask);
    ASSERT_GE(plantHull.hull.size(), 3u);
    ASSERT_EQ(plantHull.hull.size(), plantHull.hull_points.size());
    for (std::size_t i = 0; i < plantHull.hull.size(); ++i)
        EXPECT_EQ(plantHull.totalcontours[plantHull.hull[i]], plantHull.hull_points[i]) << i;
}

TEST_F(RealPlant, DrawingStaysOnTheHullOutlineAndTheContours)
{
    Outputs out(mask.rows, mask.cols);
    runEnvelope(mask, out);
    const plantenvelope::PlantHull plantHull = plantenvelope::buildPlantHull(mask);

    cv::Mat nearOutline = cv::Mat::zeros(mask.size(), CV_8UC1);
    cv::polylines(nearOutline, std::vector<PointList>{plantHull.hull_points}, true, cv::Scalar(255), kDrawingBandThickness);
    cv::Mat contourPixels = cv::Mat::zeros(mask.size(), CV_8UC1);
    for (const cv::Point& p : plantHull.totalcontours) contourPixels.at<unsigned char>(p) = 255;

    for (const cv::Point& vertex : plantHull.hull_points) EXPECT_EQ(out.bw.at<unsigned char>(vertex), 255);
    for (const cv::Point& p : plantHull.totalcontours) ASSERT_EQ(out.rgb.at<cv::Vec4b>(p), kContourColour) << p;
    EXPECT_EQ(cv::countNonZero(changedBw(out) & ~nearOutline), 0);
    EXPECT_EQ(cv::countNonZero(changedRgb(out) & ~(nearOutline | contourPixels)), 0);
}

}  // namespace
