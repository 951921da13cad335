// End-to-end tests of the leafkit command line: each test writes its input files,
// runs the built binary as a user would, and checks its files, output and exit status.
#include "synthetic_plant.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

const std::vector<std::string> kCsvHeader = {"image", "leaf", "tip_x", "tip_y", "base_x", "base_y", "base_angle_deg",
                                             "chord_angle_deg", "leaf_length_px", "chord_length_px",
                                             "stem_diameter_px"};
// velkleaf's thinning keeps only pixels two or more deep, so a found tip sits a few
// pixels inside the drawn one.
constexpr double kTipTolerance = 15.0;

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

std::vector<std::string> splitCsv(const std::string& line)
{
    std::vector<std::string> cells;
    std::istringstream in(line);
    for (std::string cell; std::getline(in, cell, ',');) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    return cells;
}

std::vector<std::vector<std::string>> readCsv(const fs::path& path)
{
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : lines(slurp(path))) rows.push_back(splitCsv(line));
    return rows;
}

// Text art: '.' 0, '#' 255, 'E' 1 (free end), 'J' 2 (junction).
cv::Mat art(const std::vector<std::string>& rows)
{
    const std::map<char, unsigned char> values = {{'.', 0}, {'#', 255}, {'E', 1}, {'J', 2}};
    cv::Mat image(static_cast<int>(rows.size()), static_cast<int>(rows[0].size()), CV_8UC1);
    for (int y = 0; y < image.rows; ++y)
        for (int x = 0; x < image.cols; ++x) image.at<unsigned char>(y, x) = values.at(rows[y][x]);
    return image;
}

void requireLibrary(const std::string& library)
{
    if (std::string(LEAFKIT_CLI_LIBRARIES).find("," + library + ",") == std::string::npos)
        GTEST_SKIP() << library << " is not part of this build";
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() /
               ("leafkit_cli_" + std::string(info->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path path(const std::string& name) const { return dir_ / name; }

    CliRun leafkit(const std::string& arguments) const
    {
        const std::string command = std::string("'") + LEAFKIT_CLI + "' " + arguments + " >'" +
                                    path("stdout.txt").string() + "' 2>'" + path("stderr.txt").string() + "'";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(path("stdout.txt")), slurp(path("stderr.txt"))};
    }

    Json leafkitJson(const std::string& arguments) const
    {
        const CliRun run = leafkit(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return Json::parse(run.out);
    }

    // Draws a synthetic plant into dir/name.
    leafkit::SyntheticPlant plant(const std::string& name, int leaves, std::uint32_t seed, int rows = 2448,
                                  int cols = 2048) const
    {
        leafkit::SyntheticPlantSpec spec;
        spec.leaves = leaves;
        spec.seed = seed;
        spec.rows = rows;
        spec.cols = cols;
        leafkit::SyntheticPlant drawn = leafkit::drawSyntheticPlant(spec);
        cv::imwrite(path(name).string(), drawn.mask);
        return drawn;
    }

    fs::path dir_;
};

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

// ---- the main job ----------------------------------------------------------------

struct PlantCase {
    int leaves;
    std::uint32_t seed;
    int rows, cols;
};

TEST_F(Cli, LeavesFindsEveryDrawnLeafOfSyntheticPlants)
{
    requireLibrary("velkleaf");
    // Plants over and under the 1800 rows where the stem footprint is looked for.
    const PlantCase cases[] = {{4, 2, 2448, 2048}, {6, 3, 2448, 2048}, {10, 7, 2448, 2048}, {5, 9, 1200, 1000}};
    for (const PlantCase& c : cases) {
        const std::string name = "plant_" + std::to_string(c.leaves) + ".png";
        SCOPED_TRACE(name);
        const leafkit::SyntheticPlant drawn = plant(name, c.leaves, c.seed, c.rows, c.cols);
        const CliRun run = leafkit("leaves " + q(path(name)) + " --out " + q(path("out")));
        ASSERT_EQ(run.status, 0) << run.err;

        const auto csv = readCsv(path("out") / "leaves.csv");
        ASSERT_EQ(csv.at(0), kCsvHeader);
        ASSERT_EQ(static_cast<int>(csv.size()) - 1, c.leaves);
        std::vector<cv::Point2d> tips;
        for (std::size_t i = 1; i < csv.size(); ++i) {
            ASSERT_EQ(csv[i].size(), kCsvHeader.size());
            EXPECT_EQ(csv[i][0], path(name).string());
            EXPECT_EQ(csv[i][1], std::to_string(i));
            tips.emplace_back(std::stod(csv[i][2]), std::stod(csv[i][3]));
            EXPECT_GT(std::stod(csv[i][8]), 0.0);
        }
        for (const auto& leaf : drawn.leaves) {
            double nearest = 1e9;
            for (const auto& tip : tips) nearest = std::min(nearest, cv::norm(tip - cv::Point2d(leaf.tip)));
            EXPECT_LT(nearest, kTipTolerance) << "drawn tip " << leaf.tip;
        }
        // The stem is drawn between 18 and 32 pixels wide (reference frame), tapering upward.
        const double stem = std::stod(csv[1][10]);
        EXPECT_GT(stem, 0.5 * drawn.stemWidth);
        EXPECT_LT(stem, 1.2 * drawn.stemWidth);
        EXPECT_TRUE(fs::exists(path("out") / ("plant_" + std::to_string(c.leaves) + "_overview.png")));
    }
}

TEST_F(Cli, LeavesJsonCarriesTheCsvValuesAndMillimetresBesidePixels)
{
    requireLibrary("velkleaf");
    plant("p.png", 4, 2);
    const CliRun run = leafkit("leaves " + q(path("p.png")) + " --out " + q(path("out")) + " --px-size 0.5");
    ASSERT_EQ(run.status, 0) << run.err;

    const auto csv = readCsv(path("out") / "leaves.csv");
    const std::vector<std::string> header = {"image", "leaf", "tip_x", "tip_y", "base_x", "base_y", "base_angle_deg",
                                             "chord_angle_deg", "leaf_length_px", "leaf_length_mm", "chord_length_px",
                                             "chord_length_mm", "stem_diameter_px", "stem_diameter_mm"};
    ASSERT_EQ(csv.at(0), header);
    const Json json = Json::parse(slurp(path("out") / "leaves.json"));
    EXPECT_EQ(json.at("toolkit"), "leafkit");
    EXPECT_FALSE(json.at("version").get<std::string>().empty());
    EXPECT_EQ(json.at("run_date").get<std::string>().size(), std::string("2026-12-11T13:10:00Z").size());
    EXPECT_EQ(json.at("pixel_size_mm"), 0.5);
    const Json& image = json.at("images").at(0);
    EXPECT_EQ(image.at("input"), path("p.png").string());
    EXPECT_EQ(image.at("overview"), "p_overview.png");
    ASSERT_EQ(image.at("leaf_count"), 4);
    ASSERT_EQ(csv.size(), 5u);
    for (int i = 0; i < 4; ++i) {
        const auto& row = csv[i + 1];
        const Json& leaf = image.at("leaves").at(i);
        EXPECT_EQ(leaf.at("leaf"), i + 1);
        EXPECT_EQ(leaf.at("tip").at("x"), std::stoi(row[2]));
        EXPECT_EQ(leaf.at("base").at("y"), std::stoi(row[5]));
        // Both files carry the exact doubles, and millimetres are pixels times 0.5.
        EXPECT_EQ(leaf.at("leaf_length_px").get<double>(), std::stod(row[8]));
        EXPECT_EQ(std::stod(row[9]), std::stod(row[8]) * 0.5);
        EXPECT_EQ(leaf.at("chord_length_mm").get<double>(), std::stod(row[11]));
        EXPECT_EQ(std::stod(row[13]), std::stod(row[12]) * 0.5);
    }
}

TEST_F(Cli, BrokenFileInABatchFailsAloneWithOneLineAndNoPartialFile)
{
    requireLibrary("velkleaf");
    plant("first.png", 3, 1);
    std::ofstream(path("broken.png")) << "this is not an image";
    // A PNG cut short, whose codec would complain on stderr by itself.
    const std::string png = slurp(path("first.png"));
    std::ofstream(path("cut.png"), std::ios::binary) << png.substr(0, png.size() / 2);
    plant("last.png", 4, 2);
    // An overview that cannot be written (a folder is in its place) fails its image alone.
    plant("blocked.png", 3, 4);
    fs::create_directories(path("out") / "blocked_overview.png");

    const CliRun run = leafkit("leaves " + q(path("first.png")) + " " + q(path("broken.png")) + " " +
                            q(path("missing.png")) + " " + q(path("cut.png")) + " " + q(path("blocked.png")) + " " +
                            q(path("last.png")) +
                            " --out " + q(path("out")) + " --jobs 2");

    EXPECT_NE(run.status, 0);
    std::vector<std::string> errors;
    for (const std::string& line : lines(run.err))
        if (line.find("analysed") == std::string::npos) errors.push_back(line);
    ASSERT_EQ(errors.size(), 4u) << run.err;
    const std::string unreadable = ": not a readable PNG, TIFF, BMP or JPEG image";
    EXPECT_EQ(errors[0], "leafkit: " + path("broken.png").string() + unreadable);
    EXPECT_EQ(errors[1], "leafkit: " + path("missing.png").string() + ": no such file");
    EXPECT_EQ(errors[2], "leafkit: " + path("cut.png").string() + unreadable);
    EXPECT_NE(errors[3].find(path("blocked.png").string() + ": cannot write"), std::string::npos) << errors[3];

    std::vector<std::string> imagesInCsv;
    for (const auto& row : readCsv(path("out") / "leaves.csv"))
        if (imagesInCsv.empty() || imagesInCsv.back() != row[0]) imagesInCsv.push_back(row[0]);
    EXPECT_EQ(imagesInCsv, (std::vector<std::string>{"image", path("first.png").string(), path("last.png").string()}));
    const Json json = Json::parse(slurp(path("out") / "leaves.json"));
    EXPECT_EQ(json.at("images").size(), 6u);
    EXPECT_TRUE(json.at("images").at(1).contains("error"));

    for (const auto& entry : fs::directory_iterator(path("out"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name[0], '.') << "temporary file left: " << name;
    }
    EXPECT_FALSE(fs::exists(path("out") / "broken_overview.png"));
    EXPECT_TRUE(fs::is_directory(path("out") / "blocked_overview.png"));
    const cv::Mat overview = cv::imread((path("out") / "last_overview.png").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(overview.size(), cv::Size(2048, 2448));
    EXPECT_EQ(overview.channels(), 3);
}

TEST_F(Cli, InterruptedRunLeavesOnlyWholeFiles)
{
    requireLibrary("velkleaf");
    std::vector<std::string> arguments = {"leafkit", "leaves", "--out", path("out").string(), "--jobs", "1"};
    for (int i = 0; i < 8; ++i) {
        plant("p" + std::to_string(i) + ".png", 4, 20 + i);
        arguments.push_back(path("p" + std::to_string(i) + ".png").string());
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execv(LEAFKIT_CLI, argv.data());
        _exit(127);
    }
    // Interrupt once the first overview is written, while the others are still to come.
    for (int wait = 0; wait < 3000 && !fs::exists(path("out") / "p0_overview.png"); ++wait) usleep(10'000);
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);

    ASSERT_TRUE(WIFSIGNALED(status)) << "the run was already over";
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_FALSE(fs::exists(path("out") / "leaves.csv"));
    EXPECT_FALSE(fs::exists(path("out") / "leaves.json"));
    for (const auto& entry : fs::directory_iterator(path("out"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name[0], '.') << "temporary file left: " << name;
        EXPECT_EQ(cv::imread(entry.path().string()).size(), cv::Size(2048, 2448)) << name;
    }
}

TEST_F(Cli, TwoJobsGiveTheResultsOfOneInInputOrder)
{
    requireLibrary("velkleaf");
    const std::vector<std::string> names = {"c.png", "a.png", "d.png", "b.png"};
    for (std::size_t i = 0; i < names.size(); ++i) plant(names[i], 3 + static_cast<int>(i), 10 + i);
    std::string inputs;
    for (const auto& name : names) inputs += q(path(name)) + " ";

    ASSERT_EQ(leafkit("leaves " + inputs + "--out " + q(path("one")) + " --jobs 1").status, 0);
    ASSERT_EQ(leafkit("leaves " + inputs + "--out " + q(path("two")) + " --jobs 2").status, 0);

    EXPECT_EQ(slurp(path("one") / "leaves.csv"), slurp(path("two") / "leaves.csv"));
    Json one = Json::parse(slurp(path("one") / "leaves.json"));
    Json two = Json::parse(slurp(path("two") / "leaves.json"));
    one.erase("run_date");
    two.erase("run_date");
    EXPECT_EQ(one, two);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(one["images"][i]["input"], path(names[i]).string());
        const std::string overview = fs::path(names[i]).stem().string() + "_overview.png";
        EXPECT_EQ(slurp(path("one") / overview), slurp(path("two") / overview)) << overview;
    }
}

TEST_F(Cli, FoldersAreSearchedForImagesInPathOrder)
{
    requireLibrary("velkleaf");
    fs::create_directories(path("plants/view"));
    plant("plants/view/b.png", 3, 1);
    plant("plants/a.png", 4, 2);
    std::ofstream(path("plants/notes.txt")) << "not an image";
    const CliRun run = leafkit("leaves " + q(path("plants")) + " --out " + q(path("plants/out")));
    ASSERT_EQ(run.status, 0) << run.err;
    const Json json = Json::parse(slurp(path("plants/out") / "leaves.json"));
    ASSERT_EQ(json.at("images").size(), 2u);
    EXPECT_EQ(json["images"][0]["input"], path("plants/a.png").string());
    EXPECT_EQ(json["images"][1]["overview"], "view_b_overview.png");
    // A second run does not pick up the first run's overview images.
    ASSERT_EQ(leafkit("leaves " + q(path("plants")) + " --out " + q(path("plants/out"))).status, 0);
    EXPECT_EQ(Json::parse(slurp(path("plants/out") / "leaves.json")).at("images").size(), 2u);
}

TEST_F(Cli, DemoRunsOnTheBundledSample)
{
    const CliRun run = leafkit("demo --out " + q(path("demo")));
    ASSERT_EQ(run.status, 0) << run.err;
    if (std::string(LEAFKIT_CLI_LIBRARIES).find(",velkleaf,") == std::string::npos) {
        EXPECT_TRUE(fs::exists(path("demo") / "synthetic_plant.png"));
        return;
    }
    EXPECT_NE(run.out.find("leaves.csv"), std::string::npos);
    const Json json = Json::parse(slurp(path("demo") / "leaves.json"));
    EXPECT_EQ(json.at("images").size(), 3u);
    for (const Json& image : json.at("images")) EXPECT_GT(image.at("leaf_count").get<int>(), 0);
}

TEST_F(Cli, HelpListsEverySubcommandOfTheBuild)
{
    const CliRun run = leafkit("--help");
    ASSERT_EQ(run.status, 0);
    const std::map<std::string, std::vector<std::string>> subcommands = {
        {"velkleaf", {"leaves", "skeleton", "ridge"}}, {"PlantEnvelope", {"envelope"}},
        {"GrayStats", {"graystats"}},                   {"masktidy", {"threshold", "fill", "remove-small", "fill-holes"}},
        {"Blobspread", {"grow"}},                       {"cyancut", {"potcut"}},
        {"foliagegrade", {"density"}},                  {"tipscan", {"ends"}},
        {"SpineWalk", {"label"}},                       {"routesolo", {"branches"}},
        {"Wayfind", {"leafpath"}}};
    for (const auto& [library, names] : subcommands)
        for (const auto& name : names) {
            const bool built = std::string(LEAFKIT_CLI_LIBRARIES).find("," + library + ",") != std::string::npos;
            EXPECT_EQ(run.out.find("\n  " + name + " ") != std::string::npos, built) << name;
        }
    EXPECT_NE(run.out.find("\n  synth "), std::string::npos);
    EXPECT_NE(run.out.find("brightest channel"), std::string::npos) << "the help tells how JPEG masks are read";
}

TEST_F(Cli, SynthIsSeededAndDrawsAnUprightPlant)
{
    const Json first = leafkitJson("synth " + q(path("a.png")) + " --leaves 5 --seed 7 --rows 900 --cols 800");
    const Json again = leafkitJson("synth " + q(path("b.png")) + " --leaves 5 --seed 7 --rows 900 --cols 800");
    EXPECT_EQ(slurp(path("a.png")), slurp(path("b.png")));
    EXPECT_EQ(first.at("leaves"), again.at("leaves"));
    ASSERT_EQ(first.at("leaves").size(), 5u);
    const cv::Mat mask = cv::imread(path("a.png").string(), cv::IMREAD_UNCHANGED);
    ASSERT_EQ(mask.size(), cv::Size(800, 900));
    const int stemX = first["stem_base"]["x"], stemY = first["stem_base"]["y"];
    EXPECT_GT(stemY, 900 * 3 / 4) << "the stem rises from the bottom rows";
    EXPECT_EQ(mask.at<unsigned char>(stemY - 1, stemX), 255);
    for (const Json& leaf : first.at("leaves")) EXPECT_EQ(mask.at<unsigned char>(leaf["tip"]["y"], leaf["tip"]["x"]), 255);
}

// ---- one subcommand per library, on tiny fixtures worked by hand -----------------

TEST_F(Cli, SkeletonAndRidgeOfABarLieOnItsMiddleRow)
{
    requireLibrary("velkleaf");
    cv::Mat mask = cv::Mat::zeros(15, 40, CV_8UC1);
    mask(cv::Rect(5, 3, 30, 9)).setTo(255);  // rows 3..11, middle row 7
    cv::imwrite(path("bar.png").string(), mask);
    const Json skeleton = leafkitJson("skeleton " + q(path("bar.png")) + " " + q(path("skel.png")));
    const Json ridge = leafkitJson("ridge " + q(path("bar.png")) + " " + q(path("ridge.png")));
    const cv::Mat thin = cv::imread(path("skel.png").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(skeleton.at("skeleton_pixels"), cv::countNonZero(thin));
    EXPECT_GE(cv::countNonZero(thin.row(7)), 20) << "the skeleton runs along the middle row";
    EXPECT_EQ(cv::countNonZero(thin & ~mask), 0);
    const cv::Mat ridges = cv::imread(path("ridge.png").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(ridge.at("ridge_points"), cv::countNonZero(ridges));
    EXPECT_EQ(cv::countNonZero(ridges & ~mask), 0);
}

TEST_F(Cli, EnvelopeOfARectangleIsTheAreaBetweenCornerCentres)
{
    requireLibrary("PlantEnvelope");
    cv::Mat mask = cv::Mat::zeros(60, 40, CV_8UC1);
    mask(cv::Rect(10, 20, 20, 30)).setTo(255);  // columns 10..29, rows 20..49
    cv::imwrite(path("rect.png").string(), mask);
    const Json report = leafkitJson("envelope " + q(path("rect.png")) + " --hull " + q(path("hull.png")) +
                                    " --overlay " + q(path("overlay.png")));
    EXPECT_EQ(report.at("area_px2"), 19.0 * 29.0);
    EXPECT_EQ(cv::imread(path("overlay.png").string()).size(), mask.size());
    EXPECT_GT(cv::countNonZero(cv::imread(path("hull.png").string(), cv::IMREAD_GRAYSCALE)), 0);
}

TEST_F(Cli, GrayStatsOfHalfBlackHalfWhite)
{
    requireLibrary("GrayStats");
    cv::imwrite(path("g.png").string(), art({"..", "##"}));
    const Json all = leafkitJson("graystats " + q(path("g.png")));
    EXPECT_EQ(all.at("mean"), 127.5);
    EXPECT_EQ(all.at("standard_deviation"), 127.5);
    EXPECT_EQ(all.at("uniformity"), 0.5);
    EXPECT_EQ(all.at("entropy_bits"), 1.0);
    const Json nonzero = leafkitJson("graystats --nonzero " + q(path("g.png")));
    EXPECT_EQ(nonzero.at("mean"), 255.0);
    EXPECT_EQ(nonzero.at("standard_deviation"), 0.0);
    EXPECT_EQ(nonzero.at("uniformity"), 1.0);
    EXPECT_EQ(nonzero.at("counted"), 2);
}

TEST_F(Cli, MaskTidyingRemovesSpecksFillsHolesAndThresholds)
{
    requireLibrary("masktidy");
    // Pixel (1, 1), where bwfill's flood starts, is background.
    cv::imwrite(path("m.png").string(), art({"...........",
                                             "...........",
                                             "..#####....",
                                             "..##.##..#.",
                                             "..#####....",
                                             "..........."}));
    const Json removed = leafkitJson("remove-small " + q(path("m.png")) + " " + q(path("r.png")) + " --max-area 1");
    EXPECT_EQ(removed.at("plant_pixels_before"), 15);
    EXPECT_EQ(removed.at("plant_pixels_after"), 14) << "the one-pixel speck goes";
    const Json filled = leafkitJson("fill-holes " + q(path("r.png")) + " " + q(path("f.png")) + " --max-area 1");
    EXPECT_EQ(filled.at("plant_pixels_after"), 15) << "the one-pixel hole is filled";
    const Json enclosed = leafkitJson("fill " + q(path("m.png")) + " " + q(path("e.png")));
    EXPECT_EQ(enclosed.at("plant_pixels_after"), 16) << "the enclosed hole is filled, the speck stays";

    cv::Mat values = (cv::Mat_<float>(1, 4) << 0.1f, 0.5f, 0.7f, std::nanf(""));
    cv::imwrite(path("v.tif").string(), values);
    const Json thresholded = leafkitJson("threshold " + q(path("v.tif")) + " " + q(path("t.png")) + " --level 0.5");
    EXPECT_EQ(thresholded.at("plant_pixels"), 2) << "0.5 and 0.7 reach the level; NaN never does";
}

TEST_F(Cli, GrowSpreadsASeedThroughGreenAsItsTwoPassesAllow)
{
    requireLibrary("Blobspread");
    cv::imwrite(path("green.png").string(), cv::Mat(20, 20, CV_8UC3, cv::Scalar(0, 255, 0)));
    cv::Mat seed = cv::Mat::zeros(20, 20, CV_8UC1);
    seed.at<unsigned char>(5, 5) = 255;
    cv::imwrite(path("seed.png").string(), seed);
    const Json report = leafkitJson("grow " + q(path("green.png")) + " " + q(path("seed.png")) + " " + q(path("grown.png")));
    // Row 0 is never reached and column 0 only from row 10 down: 400 - 20 - 9.
    EXPECT_EQ(report.at("region_pixels"), 371);
    EXPECT_EQ(report.at("mean_excess_green"), 510);
    const cv::Mat grown = cv::imread(path("grown.png").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(cv::countNonZero(grown.row(0)), 0);
    EXPECT_EQ(cv::countNonZero(grown.col(0)), 10);
}

TEST_F(Cli, PotCutBorderOnlyClearsTwoPixels)
{
    requireLibrary("cyancut");
    cv::imwrite(path("all.png").string(), cv::Mat(10, 10, CV_8UC1, cv::Scalar(255)));
    const Json report = leafkitJson("potcut --border-only " + q(path("none.png")) + " " + q(path("all.png")) + " " +
                                    q(path("cut.png")));
    EXPECT_EQ(report.at("plant_pixels_after"), 36);
}

TEST_F(Cli, DensityClassesOfQuarterFilledBlocks)
{
    requireLibrary("foliagegrade");
    cv::imwrite(path("d.png").string(), art({"#.#.", "....", "....", "...."}));
    const Json report = leafkitJson("density " + q(path("d.png")) + " --block 2 --density-out " + q(path("d.tif")));
    EXPECT_EQ(report.at("block_columns"), 2);
    // Each plant pixel has density 1/4, class 0.2-0.4 (entry 2).
    const std::vector<double> expected = {0, 0, 1, 0, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(report["classes"][i]["fraction"].get<double>(), expected[i]) << i;
    const cv::Mat density = cv::imread(path("d.tif").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(density.at<float>(0, 0), 0.25f);
}

TEST_F(Cli, EndsLabelBranchesAndLeafPathOnMarkedSkeletons)
{
    requireLibrary("tipscan");
    cv::imwrite(path("line.png").string(), art({".........", ".........", ".#######.", ".........", "........."}));
    const Json ends = leafkitJson("ends " + q(path("line.png")) + " " + q(path("marked.png")));
    EXPECT_EQ(ends.at("free_end_count"), 2);
    EXPECT_EQ(ends.at("junction_count"), 0);
    EXPECT_EQ(ends.at("free_ends"), Json::parse(R"([{"x":1,"y":2},{"x":7,"y":2}])"));
    const cv::Mat marked = cv::imread(path("marked.png").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(marked.at<unsigned char>(2, 1), 1);
    EXPECT_EQ(marked.at<unsigned char>(2, 4), 255);
}

TEST_F(Cli, LabelGivesTheWalkedBranchItsFirstLabel)
{
    requireLibrary("SpineWalk");
    cv::imwrite(path("m.png").string(), art({".........", ".E#####E.", "........."}));
    const Json report = leafkitJson("label " + q(path("m.png")) + " " + q(path("l.png")));
    EXPECT_EQ(report.at("labelled_pixels"), 5);
    EXPECT_EQ(report.at("distinct_labels"), 1);
    const cv::Mat labelled = cv::imread(path("l.png").string(), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(labelled.at<unsigned char>(1, 4), 3);
    EXPECT_EQ(labelled.at<unsigned char>(1, 1), 1);
}

TEST_F(Cli, BranchesMeasuresATipBelowAJunction)
{
    requireLibrary("routesolo");
    // A tip, one ordinary pixel and a junction straight above: length 3, distance 2.
    cv::imwrite(path("m.png").string(), art({".....", "..J..", "..#..", "..E..", "....."}));
    const Json report = leafkitJson("branches " + q(path("m.png")) + " " + q(path("b.png")));
    ASSERT_EQ(report.at("branch_count"), 1);
    const Json& branch = report.at("branches").at(0);
    EXPECT_EQ(branch.at("length_px"), 3.0);
    EXPECT_EQ(branch.at("distance_px"), 2.0);
    EXPECT_FLOAT_EQ(branch.at("straightness").get<float>(), 2.0f / 3.0f);
    EXPECT_EQ(branch.at("end_angle_deg"), 0.0);
}

TEST_F(Cli, LeafPathTakesTheInnerOfJunctionAndBaseTip)
{
    requireLibrary("Wayfind");
    // Junction at image (9, 4), base tip at (11, 39) of a 100 x 50 raster: the tip is
    // farther from the sides, so it is the inner point; dx = -2, dy = 35.
    cv::Mat raster = cv::Mat::zeros(50, 100, CV_8UC1);
    raster.at<unsigned char>(4, 9) = 2;
    raster.at<unsigned char>(39, 11) = 1;
    cv::imwrite(path("m.png").string(), raster);
    const Json report = leafkitJson("leafpath " + q(path("m.png")) + " " + q(path("p.png")));
    ASSERT_EQ(report.at("found"), true);
    EXPECT_EQ(report.at("inner_point"), Json::parse(R"({"x":11,"y":39})"));
    EXPECT_EQ(report.at("height_above_bottom_px"), 50 + 2 - 40);
    EXPECT_NEAR(report.at("distance_px").get<double>(), std::sqrt(4.0 + 1225.0), 1e-4);
    EXPECT_NEAR(report.at("angle_deg").get<double>(), std::atan(35.0 / -2.0) * 180 / 3.14159, 1e-3);

    cv::imwrite(path("none.png").string(), cv::Mat::zeros(5, 5, CV_8UC1));
    EXPECT_EQ(leafkitJson("leafpath " + q(path("none.png")) + " " + q(path("q.png"))).at("found"), false);
}

TEST_F(Cli, ReadsSixteenBitColourAndJpegMasks)
{
    requireLibrary("GrayStats");
    // graystats --nonzero counts plant pixels of the mask as `leafkit skeleton` etc. read it:
    // a 16-bit colour mask with one faint channel is plant there.
    cv::Mat colour16 = cv::Mat::zeros(4, 4, CV_16UC3);
    colour16.at<cv::Vec3w>(1, 1) = cv::Vec3w(0, 0, 1);
    cv::imwrite(path("c16.png").string(), colour16);
    requireLibrary("PlantEnvelope");
    EXPECT_EQ(leafkitJson("envelope " + q(path("c16.png"))).at("plant_pixels"), 1);
    // JPEG noise around a dark background stays background.
    cv::Mat gray = cv::Mat::zeros(32, 32, CV_8UC1);
    gray(cv::Rect(8, 8, 16, 16)).setTo(255);
    cv::imwrite(path("m.jpg").string(), gray, {cv::IMWRITE_JPEG_QUALITY, 50});
    const int plant = leafkitJson("envelope " + q(path("m.jpg"))).at("plant_pixels");
    EXPECT_NEAR(plant, 256, 16);
}

}  // namespace
