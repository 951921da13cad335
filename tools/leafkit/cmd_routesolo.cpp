// `leafkit branches`: measures the branches that start at tips in a band of columns
// (Wayfind_Single).
#include "image_files.h"
#include "routesolo.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <algorithm>
#include <cstdint>
#include <memory>

namespace leafkit {
namespace {

constexpr unsigned char kTipMark = 1;

struct BranchOptions {
    std::string marked, out;
    int bandFirst = 0;
    int bandColumns = 0;  // 0 or less: to the right edge
};

// The band of image columns [first, end), clipped to the image. Computed in 64 bits,
// so that no column argument overflows.
struct ColumnBand {
    int first = 0;
    int end = 0;
};

ColumnBand clippedBand(const cv::Mat& image, int first, int columns)
{
    const std::int64_t to = columns > 0 ? std::int64_t{first} + columns : image.cols;
    const std::int64_t from = std::clamp<std::int64_t>(first, 0, image.cols);
    return {static_cast<int>(from), static_cast<int>(std::clamp<std::int64_t>(to, from, image.cols))};
}

void runBranches(const BranchOptions& options)
{
    cv::Mat image = readGrayImage(options.marked).clone();
    const ColumnBand band = clippedBand(image, options.bandFirst, options.bandColumns);
    // One entry per tip in the band: the library writes these arrays without a bound.
    const std::size_t room = std::max(1, cv::countNonZero(image.colRange(band.first, band.end) == kTipMark));
    std::vector<float> lengths(room), distances(room), straightness(room);
    std::vector<double> referenceAngles(room), endAngles(room);
    float meanLength = 0, meanDistance = 0, meanStraightness = 0, bestScore = 0, totalLength = 0;
    double meanReferenceAngle = 0, meanEndAngle = 0;
    int count = 0;
    // The library counts columns in its framed raster, one to the right of the image's.
    Wayfind_Single(image.data, image.cols, image.rows, band.first + 1, band.end - band.first, lengths.data(),
                   distances.data(), referenceAngles.data(), endAngles.data(), straightness.data(), &meanLength,
                   &meanDistance, &meanStraightness, &meanReferenceAngle, &meanEndAngle, &bestScore, &totalLength,
                   &count);
    writeImage(options.out, image);
    nlohmann::ordered_json branches = nlohmann::ordered_json::array();
    for (int i = 0; i < count; ++i)
        branches.push_back({{"length_px", lengths[i]},
                            {"distance_px", distances[i]},
                            {"straightness", straightness[i]},
                            {"reference_angle_deg", referenceAngles[i]},
                            {"end_angle_deg", endAngles[i]}});
    printReport({{"output", options.out},
                 {"band", {{"first_column", band.first}, {"columns", band.end - band.first}}},
                 {"branch_count", count},
                 {"mean_length_px", meanLength},
                 {"mean_distance_px", meanDistance},
                 {"mean_straightness", meanStraightness},
                 {"mean_abs_reference_angle_deg", meanReferenceAngle},
                 {"mean_abs_end_angle_deg", meanEndAngle},
                 {"best_score", bestScore},
                 {"total_length_px", totalLength},
                 {"branches", branches}});
}

void attachBranches(CLI::App& app)
{
    auto options = std::make_shared<BranchOptions>();
    auto* cmd = app.add_subcommand("branches", "Measure the branches of a marked plant skeleton (Wayfind_Single)");
    cmd->footer("Measures every branch that starts at a free end (1) in the band of image columns\n"
                "--band-first .. --band-first + --band-columns - 1 (default: the whole width), bottom\n"
                "row first: length along the skeleton and straight distance in pixels, their ratio,\n"
                "and the angles (degrees from straight up, clockwise positive) from the tip to the\n"
                "branch end and to its reference point. Writes the skeleton with the best branch\n"
                "(length + tip height) highlighted in 255 and its tip cleared. Prints JSON.");
    cmd->add_option("MARKED", options->marked, "Marked skeleton (see `leafkit ends`)")->required();
    cmd->add_option("OUT", options->out, "Skeleton with the highlight (.png)")->required();
    cmd->add_option("--band-first", options->bandFirst, "First image column of the tip band")->capture_default_str();
    cmd->add_option("--band-columns", options->bandColumns, "Columns in the tip band (default: to the right edge)");
    cmd->callback([options] { runBranches(*options); });
}

const RegisterSubcommand kBranches{{"branches", "routesolo", attachBranches}};

}  // namespace
}  // namespace leafkit
