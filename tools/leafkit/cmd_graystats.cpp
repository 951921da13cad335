// `leafkit graystats`: six histogram statistics of a gray image (GrayStats, GrayStats2).
#include "GrayStats.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <array>
#include <memory>

namespace leafkit {
namespace {

constexpr int kGrayLevels = 256;

struct GrayStatsOptions {
    std::string image;
    bool nonzero = false;
};

void runGrayStats(const GrayStatsOptions& options)
{
    const cv::Mat gray = readGrayImage(options.image).clone();  // continuous rows for the library
    std::array<double, 6> result{};
    if (options.nonzero)
        GrayStats2(gray.data, gray.rows, gray.cols, kGrayLevels, result.data());
    else
        GrayStats(gray.data, gray.rows, gray.cols, kGrayLevels, result.data());
    printReport({{"image", options.image},
                 {"pixels", options.nonzero ? "nonzero" : "all"},
                 {"counted", options.nonzero ? cv::countNonZero(gray) : gray.rows * gray.cols},
                 {"mean", result[0]},
                 {"standard_deviation", result[1]},
                 {"smoothness", result[2]},
                 {"third_moment", result[3]},
                 {"uniformity", result[4]},
                 {"entropy_bits", result[5]}});
}

void attachGrayStats(CLI::App& app)
{
    auto options = std::make_shared<GrayStatsOptions>();
    auto* cmd = app.add_subcommand("graystats", "Histogram statistics of a gray image (GrayStats)");
    cmd->footer("Prints JSON: mean, standard deviation and third moment in gray levels (0..255,\n"
                "not normalised), smoothness 1 - 1/(1 + s^2), uniformity (sum of p^2) and entropy\n"
                "in bits. Colour images are converted to gray, 16-bit ones scaled to 8 bits.\n"
                "--nonzero counts only pixels above 0 (a plant whose background was zeroed);\n"
                "with no pixel counted every statistic is 0.");
    cmd->add_option("IMAGE", options->image, "Gray image")->required();
    cmd->add_flag("--nonzero", options->nonzero, "Only nonzero pixels (GrayStats2)");
    cmd->callback([options] { runGrayStats(*options); });
}

const RegisterSubcommand kGrayStats{{"graystats", "GrayStats", attachGrayStats}};

}  // namespace
}  // namespace leafkit
