// The leaf extraction exports end to end: synthetic plants with known leaves, the
// guarded cases, the caller's buffers and the diagnostic file.
#include "velkleaf.h"

#include "platform/diagnostic_file.h"
#include "synthetic_plant.h"

#include <opencv2/imgcodecs.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSentinel = -7777;
constexpr double kSentinelValue = -7777.5;
constexpr unsigned char kSentinelPixel = 77;
constexpr int kRoom = 64;  // per-leaf entries the tests provide

// The caller's side of one call: every output preset to a sentinel.
struct CallerBuffers {
    int leafCount = kSentinel;
    std::vector<int> tips, bases;
    std::vector<double> baseAngles, chordAngles, leafLengths, chordLengths;
    double stemDiameter = kSentinelValue;
    std::vector<unsigned char> red, blue, green;

    CallerBuffers(int rows, int cols)
        : tips(2 * kRoom, kSentinel), bases(2 * kRoom, kSentinel), baseAngles(kRoom, kSentinelValue),
          chordAngles(kRoom, kSentinelValue), leafLengths(kRoom, kSentinelValue), chordLengths(kRoom, kSentinelValue),
          red(static_cast<std::size_t>(rows) * cols, kSentinelPixel), blue(red), green(red)
    {
    }

    void extract(const cv::Mat& mask, bool showDebug = false)
    {
        maizeSingleLeafExtraction_auto(mask.data, mask.rows, mask.cols, &leafCount, tips.data(), baseAngles.data(),
                                       chordAngles.data(), bases.data(), leafLengths.data(), chordLengths.data(),
                                       &stemDiameter, red.data(), blue.data(), green.data(), showDebug);
    }
    void extractN(const cv::Mat& mask, int capacity)
    {
        maizeSingleLeafExtraction_autoN(mask.data, mask.rows, mask.cols, &leafCount, tips.data(), baseAngles.data(),
                                        chordAngles.data(), bases.data(), leafLengths.data(), chordLengths.data(),
                                        &stemDiameter, red.data(), blue.data(), green.data(), false, capacity);
    }

    cv::Point tip(int i) const { return {tips[2 * i], tips[2 * i + 1]}; }
    cv::Point base(int i) const { return {bases[2 * i], bases[2 * i + 1]}; }
    bool leafUntouched(int i) const
    {
        return tips[2 * i] == kSentinel && tips[2 * i + 1] == kSentinel && bases[2 * i] == kSentinel
               && baseAngles[i] == kSentinelValue && chordAngles[i] == kSentinelValue
               && leafLengths[i] == kSentinelValue && chordLengths[i] == kSentinelValue;
    }
    bool overlayUntouched() const
    {
        const auto untouched = [](const std::vector<unsigned char>& v) {
            return std::all_of(v.begin(), v.end(), [](unsigned char b) { return b == kSentinelPixel; });
        };
        return untouched(red) && untouched(blue) && untouched(green);
    }
};

// The per-leaf results and the stem diameter of two calls agree.
void expectSameMeasures(const CallerBuffers& a, const CallerBuffers& b)
{
    EXPECT_EQ(a.leafCount, b.leafCount);
    EXPECT_EQ(a.tips, b.tips);
    EXPECT_EQ(a.bases, b.bases);
    EXPECT_EQ(a.baseAngles, b.baseAngles);
    EXPECT_EQ(a.leafLengths, b.leafLengths);
    EXPECT_EQ(a.stemDiameter, b.stemDiameter);
}

double distance(cv::Point a, cv::Point b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// |270 - direction| of the chord from base to tip, as the export reports it.
double deviationFromUp(cv::Point base, cv::Point tip)
{
    double angle = std::atan2(tip.y - base.y, tip.x - base.x) * 180 / 3.14159265358979323846;
    if (angle < 0) angle += 360;
    return std::abs(270 - angle);
}

// Every drawn leaf is found once: a tip within a few pixels of the drawn tip, a base on
// the stem no higher than where the leaf leaves it, a length close to the drawn leaf plus
// the stem between its base and the leaf, and the chord angle of the drawn tip.
void expectLeavesFound(const SyntheticPlant& plant, const CallerBuffers& out)
{
    constexpr double kTipTolerance = 8;
    constexpr int kStemTolerance = 6;
    ASSERT_EQ(out.leafCount, static_cast<int>(plant.leaves.size()));
    std::vector<bool> matched(plant.leaves.size(), false);
    for (int i = 0; i < out.leafCount; ++i) {
        SCOPED_TRACE(testing::Message() << "leaf " << i << " tip " << out.tip(i) << " base " << out.base(i));
        std::size_t nearest = 0;
        for (std::size_t k = 1; k < plant.leaves.size(); ++k)
            if (distance(out.tip(i), plant.leaves[k].tip) < distance(out.tip(i), plant.leaves[nearest].tip))
                nearest = k;
        const DrawnLeaf& drawn = plant.leaves[nearest];
        EXPECT_FALSE(matched[nearest]) << "two leaves end at one drawn tip";
        matched[nearest] = true;
        EXPECT_LE(distance(out.tip(i), drawn.tip), kTipTolerance);
        EXPECT_LE(std::abs(out.base(i).x - plant.stemColumn), kStemTolerance);
        EXPECT_GE(out.base(i).y, drawn.attach.y - 2 * kStemTolerance);
        const double expectedLength = drawn.arcLength + (out.base(i).y - drawn.attach.y);
        EXPECT_GT(out.leafLengths[i], 0.8 * expectedLength);
        EXPECT_LT(out.leafLengths[i], 1.05 * expectedLength);
        EXPECT_NEAR(out.chordLengths[i], distance(out.base(i), drawn.tip), kTipTolerance);
        EXPECT_NEAR(out.chordAngles[i], deviationFromUp(out.base(i), drawn.tip), 3);
        EXPECT_GE(out.baseAngles[i], 0);
        EXPECT_LE(out.baseAngles[i], 270);
    }
    EXPECT_NEAR(out.stemDiameter, synthetic::kStemWidth, 3);
}

TEST(LeafExtraction, SyntheticPlantOnAShortImage)
{
    const SyntheticPlant plant = synthetic::drawPlant(600, 500, 5);
    CallerBuffers out(600, 500);
    out.extract(plant.mask);
    expectLeavesFound(plant, out);
    EXPECT_TRUE(out.leafUntouched(plant.leaves.size()));
}

TEST(LeafExtraction, SyntheticPlantTallerThanTheStemSearchRow)
{
    // 1850 rows: the stem column comes from the rows below 1800, yet under the
    // million pixels of the scaled skeleton path.
    const SyntheticPlant plant = synthetic::drawPlant(1850, 500, 6);
    CallerBuffers out(1850, 500);
    out.extract(plant.mask);
    expectLeavesFound(plant, out);
    // The lower leaves meet the stem where they were drawn.
    EXPECT_NEAR(out.base(5).y, plant.leaves[0].attach.y, 15);
}

TEST(LeafExtraction, CallerMaskUnchangedAndSecondCallAlike)
{
    const SyntheticPlant plant = synthetic::drawPlant(600, 500, 4);
    const cv::Mat before = plant.mask.clone();
    CallerBuffers first(600, 500), second(600, 500);
    first.extract(plant.mask);
    EXPECT_EQ(cv::countNonZero(plant.mask != before), 0);
    second.extract(plant.mask);
    expectSameMeasures(second, first);
    EXPECT_EQ(second.chordAngles, first.chordAngles);
    // The leaf colours continue the random sequence; the drawn pixels are the same.
    for (std::size_t i = 0; i < first.red.size(); ++i) {
        const bool drawnFirst = first.red[i] || first.green[i] || first.blue[i];
        const bool drawnSecond = second.red[i] || second.green[i] || second.blue[i];
        ASSERT_EQ(drawnFirst, drawnSecond) << "pixel " << i;
    }
}

TEST(LeafExtraction, SameRandomSequenceGivesTheSameOverview)
{
    const SyntheticPlant plant = synthetic::drawPlant(600, 500, 3);
    CallerBuffers first(600, 500), second(600, 500);
    std::srand(11);
    first.extract(plant.mask);
    std::srand(11);
    second.extract(plant.mask);
    EXPECT_EQ(first.red, second.red);
    EXPECT_EQ(first.green, second.green);
    EXPECT_EQ(first.blue, second.blue);
}

TEST(LeafExtraction, NoTipCopiesTheCleanedMaskAndWritesNothingElse)
{
    // A disc touching the left edge and a speck: the disc thins to a line without a
    // junction, so no tip is found.
    cv::Mat mask = cv::Mat::zeros(60, 60, CV_8UC1);
    cv::circle(mask, cv::Point(12, 30), 12, cv::Scalar(255), cv::FILLED);
    mask(cv::Rect(44, 44, 2, 2)).setTo(255);
    cv::Mat expected = cv::Mat::zeros(60, 60, CV_8UC1);
    mask(cv::Rect(5, 5, 30, 50)).copyTo(expected(cv::Rect(5, 5, 30, 50)));

    CallerBuffers out(60, 60);
    out.extract(mask);
    EXPECT_EQ(out.leafCount, kSentinel);
    EXPECT_EQ(out.stemDiameter, kSentinelValue);
    EXPECT_TRUE(out.leafUntouched(0));
    const std::vector<unsigned char> plane(expected.datastart, expected.dataend);
    EXPECT_EQ(out.red, plane);
    EXPECT_EQ(out.green, plane);
    EXPECT_EQ(out.blue, plane);

    CallerBuffers empty(40, 30);
    empty.extract(cv::Mat::zeros(40, 30, CV_8UC1));
    EXPECT_EQ(empty.leafCount, kSentinel);
    EXPECT_TRUE(std::all_of(empty.red.begin(), empty.red.end(), [](unsigned char b) { return b == 0; }));

    CallerBuffers counted(40, 30);
    counted.extractN(cv::Mat::zeros(40, 30, CV_8UC1), kRoom);
    EXPECT_EQ(counted.leafCount, 0) << "the capacity export always reports its count";
}

TEST(LeafExtraction, CapacityLimitsEntriesButNotTheCount)
{
    const SyntheticPlant plant = synthetic::drawPlant(600, 500, 5);
    CallerBuffers all(600, 500), two(600, 500), none(600, 500);
    std::srand(3);
    all.extract(plant.mask);
    std::srand(3);
    two.extractN(plant.mask, 2);
    none.extractN(plant.mask, 0);
    ASSERT_EQ(all.leafCount, 5);
    EXPECT_EQ(two.leafCount, 5);
    EXPECT_EQ(none.leafCount, 5);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(two.tip(i), all.tip(i));
        EXPECT_EQ(two.base(i), all.base(i));
        EXPECT_EQ(two.leafLengths[i], all.leafLengths[i]);
        EXPECT_EQ(two.chordLengths[i], all.chordLengths[i]);
    }
    for (int i = 2; i < 6; ++i) EXPECT_TRUE(two.leafUntouched(i)) << i;
    EXPECT_TRUE(none.leafUntouched(0));
    EXPECT_EQ(two.red, all.red);
    EXPECT_EQ(two.stemDiameter, all.stemDiameter);
}

TEST(LeafExtraction, UnusableArgumentsWriteNothing)
{
    const cv::Mat mask = synthetic::drawPlant(200, 160, 3).mask;
    const auto expectUntouched = [](const CallerBuffers& b) {
        EXPECT_EQ(b.leafCount, kSentinel);
        EXPECT_EQ(b.stemDiameter, kSentinelValue);
        EXPECT_TRUE(b.leafUntouched(0));
        EXPECT_TRUE(b.overlayUntouched());
    };
    for (const auto& [rows, cols] : {std::pair{0, 160}, {200, 0}, {-200, 160}, {200, -1}, {-1, -1}}) {
        CallerBuffers b(200, 160);
        maizeSingleLeafExtraction_autoN(mask.data, rows, cols, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                        b.chordAngles.data(), b.bases.data(), b.leafLengths.data(),
                                        b.chordLengths.data(), &b.stemDiameter, b.red.data(), b.blue.data(),
                                        b.green.data(), false, kRoom);
        b.extract(cv::Mat(std::max(rows, 0), std::max(cols, 0), CV_8UC1));
        expectUntouched(b);
    }
    CallerBuffers b(200, 160);
    maizeSingleLeafExtraction_auto(nullptr, 200, 160, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                   b.chordAngles.data(), b.bases.data(), b.leafLengths.data(), b.chordLengths.data(),
                                   &b.stemDiameter, b.red.data(), b.blue.data(), b.green.data(), false);
    maizeSingleLeafExtraction_auto(mask.data, 200, 160, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                   b.chordAngles.data(), nullptr, b.leafLengths.data(), b.chordLengths.data(),
                                   &b.stemDiameter, b.red.data(), b.blue.data(), b.green.data(), false);
    maizeSingleLeafExtraction_auto(mask.data, 200, 160, nullptr, b.tips.data(), b.baseAngles.data(),
                                   b.chordAngles.data(), b.bases.data(), b.leafLengths.data(), b.chordLengths.data(),
                                   &b.stemDiameter, b.red.data(), b.blue.data(), nullptr, false);
    maizeSingleLeafExtraction_autoN(mask.data, 200, 160, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                    b.chordAngles.data(), b.bases.data(), b.leafLengths.data(), b.chordLengths.data(),
                                    &b.stemDiameter, b.red.data(), b.blue.data(), b.green.data(), false, -1);
    maizeSingleLeafExtraction_autoN(mask.data, 200, 160, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                    b.chordAngles.data(), b.bases.data(), b.leafLengths.data(), b.chordLengths.data(),
                                    nullptr, b.red.data(), b.blue.data(), b.green.data(), false, kRoom);
    expectUntouched(b);
}

TEST(LeafExtraction, SizesPastThePixelLimitWriteNothing)
{
    // The header's limit is 536,870,911 pixels; the buffers here hold 200 x 160.
    constexpr int kPixelLimit = 536'870'911;
    const cv::Mat mask = synthetic::drawPlant(200, 160, 3).mask;
    for (const auto& [rows, cols] : {std::pair{65536, 65536}, {2, kPixelLimit / 2 + 1}, {kPixelLimit / 2 + 1, 2}}) {
        SCOPED_TRACE(testing::Message() << rows << " x " << cols);
        CallerBuffers b(200, 160);
        maizeSingleLeafExtraction_auto(mask.data, rows, cols, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                       b.chordAngles.data(), b.bases.data(), b.leafLengths.data(),
                                       b.chordLengths.data(), &b.stemDiameter, b.red.data(), b.blue.data(),
                                       b.green.data(), false);
        maizeSingleLeafExtraction_autoN(mask.data, rows, cols, &b.leafCount, b.tips.data(), b.baseAngles.data(),
                                        b.chordAngles.data(), b.bases.data(), b.leafLengths.data(),
                                        b.chordLengths.data(), &b.stemDiameter, b.red.data(), b.blue.data(),
                                        b.green.data(), false, kRoom);
        EXPECT_EQ(b.leafCount, kSentinel);
        EXPECT_EQ(b.stemDiameter, kSentinelValue);
        EXPECT_TRUE(b.overlayUntouched());
    }
}

TEST(LeafExtraction, TinyMasksOfEverySizeStayInTheirBuffers)
{
    // Full and speckled masks in buffers of exactly their size, on each side of the flood
    // frame (3), the cleared border (5 and 10) and the first interior pixel (11, 12).
    const int kSides[] = {1, 2, 3, 5, 10, 11, 12};
    for (int rows : kSides)
        for (int cols : kSides) {
            SCOPED_TRACE(testing::Message() << rows << " x " << cols);
            cv::Mat full(rows, cols, CV_8UC1, cv::Scalar(255));
            cv::Mat speckled(rows, cols, CV_8UC1);
            for (int i = 0; i < rows * cols; ++i) speckled.data[i] = (i * 7) % 3 ? 255 : 0;
            for (const cv::Mat& mask : {full, speckled}) {
                const cv::Mat before = mask.clone();
                CallerBuffers out(rows, cols);
                out.extractN(mask, kRoom);
                EXPECT_EQ(cv::countNonZero(mask != before), 0);
                EXPECT_TRUE(out.leafUntouched(0)) << "no room for a leaf of 23 pixels";
            }
        }
}

// Under a limit on address space the flood's working memory, reserved in full at the
// start of every call, cannot be had even for a tiny mask. ASan reserves far more address
// space than any such limit, so the sanitizer build leaves this case to the normal one.
#if !defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kSpareBytes = std::size_t{200} << 20;  // less than the flood stack alone

void extractWithoutRoomForTheFlood()
{
    const SyntheticPlant plant = synthetic::drawPlant(200, 160, 3);
    CallerBuffers warmUp(200, 160), out(200, 160);
    warmUp.extract(plant.mask);
    std::size_t pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + kSpareBytes;
    const rlimit rl{limit, limit};
    setrlimit(RLIMIT_AS, &rl);
    bool threw = false;
    try {
        out.extract(plant.mask);
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    std::_Exit(warmUp.leafCount == 3 && threw && out.leafCount == kSentinel && out.overlayUntouched() ? 0 : 1);
}

TEST(LeafExtractionDeathTest, FloodMemoryIsReservedUpFrontAndItsLackIsNotCaught)
{
    EXPECT_EXIT(extractWithoutRoomForTheFlood(), testing::ExitedWithCode(0), "");
}
#endif

TEST(LeafExtraction, ShowDebugFalseOpensNoWindow)
{
    // Without a display any attempt to open the preview window aborts the process.
    const SyntheticPlant plant = synthetic::drawPlant(200, 160, 3);
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            CallerBuffers out(200, 160);
            out.extract(plant.mask, false);
            std::exit(out.leafCount == 3 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

// Runs the preview case inside its own virtual display: this test starts itself again
// under xvfb-run, and the copy that sees the marker does the work.
constexpr const char* kPreviewChildMarker = "LEAFKIT_VELKLEAF_PREVIEW_CHILD";

TEST(LeafExtraction, ShowDebugChangesNothingInTheOutputs)
{
    if (!std::getenv(kPreviewChildMarker)) {
        if (access("/usr/bin/xvfb-run", X_OK) != 0 || access("/usr/bin/xdotool", X_OK) != 0)
            GTEST_SKIP() << "needs xvfb-run and xdotool";
        // The display libraries keep some memory until exit; the leak check is not ours to run there.
        const std::string command = std::string(kPreviewChildMarker) + "=1 ASAN_OPTIONS=detect_leaks=0 timeout 300 "
                                    + "xvfb-run -a " + std::filesystem::read_symlink("/proc/self/exe").string()
                                    + " --gtest_filter=LeafExtraction.ShowDebugChangesNothingInTheOutputs";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return;
    }
    // Every preview window gets a key press until the extraction returns.
    std::atomic<bool> done{false};
    std::thread presser([&done] {
        while (!done)
            std::system("timeout 2 xdotool search --sync --onlyvisible --name '^dshow$' key --window %1 space "
                        ">/dev/null 2>&1");
    });
    const SyntheticPlant plant = synthetic::drawPlant(200, 160, 3);
    CallerBuffers quiet(200, 160), shown(200, 160);
    std::srand(5);
    quiet.extract(plant.mask, false);
    std::srand(5);
    shown.extract(plant.mask, true);
    done = true;
    presser.join();
    expectSameMeasures(shown, quiet);
    EXPECT_EQ(shown.red, quiet.red);
    EXPECT_EQ(shown.green, quiet.green);
    EXPECT_EQ(shown.blue, quiet.blue);
}

TEST(LeafExtraction, RealSideViewOfAMaizePlant)
{
    // A greenhouse side view (2448 x 2048, the scaled skeleton path) whose leaves spread
    // in the image plane; nine or ten tips are visible by eye.
    const char* data = std::getenv("LEAFKIT_DATA_DIR");
    if (!data) GTEST_SKIP() << "LEAFKIT_DATA_DIR not set";
    const cv::Mat mask =
        cv::imread(std::string(data) + "/openalea-phenomenal/plants/plant_5/90.png", cv::IMREAD_GRAYSCALE);
    if (mask.empty()) GTEST_SKIP() << "plant_5/90.png not found";
    CallerBuffers out(mask.rows, mask.cols);
    out.extract(mask);
    EXPECT_GE(out.leafCount, 7);
    EXPECT_LE(out.leafCount, 12);
    cv::Mat nearPlant;
    cv::dilate(mask, nearPlant, cv::Mat(), cv::Point(-1, -1), 3);
    int traced = 0;
    for (int i = 0; i < std::min(out.leafCount, kRoom); ++i) {
        if (out.leafUntouched(i)) continue;
        ++traced;
        SCOPED_TRACE(testing::Message() << "leaf " << i << " tip " << out.tip(i) << " base " << out.base(i));
        EXPECT_NE(nearPlant.at<unsigned char>(out.tip(i)), 0);
        EXPECT_NE(nearPlant.at<unsigned char>(out.base(i)), 0);
        // The path runs at least nearly the straight way; only its last segment is not counted.
        EXPECT_GE(out.leafLengths[i], 0.75 * out.chordLengths[i]);
    }
    EXPECT_GE(traced, 7);
    EXPECT_GT(out.stemDiameter, 10);
    EXPECT_LT(out.stemDiameter, 60);
}

// Points the system's temporary directory at a fresh directory for one test.
class PrivateTempDir {
public:
    PrivateTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkleaf-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        const char* old = std::getenv("TMPDIR");
        if (old) saved_ = old;
        hadOld_ = old != nullptr;
        setenv("TMPDIR", path_.c_str(), 1);
    }
    ~PrivateTempDir()
    {
        if (hadOld_)
            setenv("TMPDIR", saved_.c_str(), 1);
        else
            unsetenv("TMPDIR");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path path() const { return path_; }

private:
    std::filesystem::path path_;
    std::string saved_;
    bool hadOld_ = false;
};

std::string contentsOf(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DiagnosticFile, PrunedSkeletonIsWrittenAsBitmapInTheTemporaryDirectory)
{
    const PrivateTempDir dir;
    EXPECT_EQ(diagnosticImagePath(), (dir.path() / "aa.bmp").string());
    const SyntheticPlant plant = synthetic::drawPlant(200, 160, 3);
    CallerBuffers out(200, 160);
    out.extract(plant.mask);
    const std::string bytes = contentsOf(dir.path() / "aa.bmp");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    const cv::Mat written = cv::imread((dir.path() / "aa.bmp").string(), cv::IMREAD_GRAYSCALE);
    ASSERT_EQ(written.size(), plant.mask.size());
    // The skeleton lies inside the plant.
    EXPECT_GT(cv::countNonZero(written), 0);
    EXPECT_EQ(cv::countNonZero(written & ~plant.mask), 0);
}

TEST(DiagnosticFile, SymbolicLinkAtThePathIsNotFollowed)
{
    const PrivateTempDir dir;
    const std::filesystem::path target = dir.path() / "precious.txt";
    std::ofstream(target) << "keep";
    std::filesystem::create_symlink(target, dir.path() / "aa.bmp");
    CallerBuffers out(200, 160);
    out.extract(synthetic::drawPlant(200, 160, 3).mask);
    EXPECT_EQ(contentsOf(target), "keep");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "aa.bmp"));
    EXPECT_EQ(out.leafCount, 3) << "a failed write changes no result";
}

TEST(DiagnosticFile, PipeAtThePathDoesNotBlockTheCall)
{
    // A named pipe planted at the path has no reader: opening it to write would wait for
    // one forever. The alarm only turns such a hang into a failure.
    const PrivateTempDir dir;
    ASSERT_EQ(mkfifo((dir.path() / "aa.bmp").c_str(), 0600), 0);
    const cv::Mat mask = synthetic::drawPlant(200, 160, 3).mask;
    EXPECT_EXIT(
        {
            alarm(120);
            CallerBuffers out(200, 160);
            out.extract(mask);
            std::exit(out.leafCount == 3 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "aa.bmp"));
}

}  // namespace
