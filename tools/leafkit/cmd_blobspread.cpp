// `leafkit grow`: excess-green region growing from a seed mask (Blobspread).
#include "Blobspread.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <cstdint>
#include <memory>

namespace leafkit {
namespace {

constexpr unsigned char kRegion = 1;
constexpr unsigned char kBarrier = 2;

struct GrowOptions {
    std::string colour, seeds, out, barrier;
};

// Blue in bits 0-7, green in 8-15, red in 16-23: a 32-bit blue-green-red-alpha bitmap word.
std::vector<std::uint32_t> colourWords(const cv::Mat& bgr)
{
    std::vector<std::uint32_t> words;
    words.reserve(bgr.total());
    for (int y = 0; y < bgr.rows; ++y)
        for (int x = 0; x < bgr.cols; ++x) {
            const cv::Vec3b& p = bgr.at<cv::Vec3b>(y, x);
            words.push_back(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16);
        }
    return words;
}

void runGrow(const GrowOptions& options)
{
    const cv::Mat colour = readColourImage(options.colour);
    const cv::Mat seeds = readPlantMask(options.seeds);
    requireSameSize(colour, options.colour, seeds, options.seeds);
    cv::Mat region = zeroOneMask(seeds);
    if (!options.barrier.empty()) {
        const cv::Mat barrier = readPlantMask(options.barrier);
        requireSameSize(colour, options.colour, barrier, options.barrier);
        region.setTo(kBarrier, barrier);
    }
    const int seedPixels = cv::countNonZero(region == kRegion);
    const std::vector<std::uint32_t> words = colourWords(colour);
    const auto mean = static_cast<std::int32_t>(
        Blobspread(words.data(), region.data, static_cast<unsigned>(region.cols), static_cast<unsigned>(region.rows)));
    const cv::Mat grown = region == kRegion;
    writeImage(options.out, grown);
    printReport({{"output", options.out},
                 {"seed_pixels", seedPixels},
                 {"region_pixels", cv::countNonZero(grown)},
                 {"mean_excess_green", mean}});
}

void attachGrow(CLI::App& app)
{
    auto options = std::make_shared<GrowOptions>();
    auto* cmd = app.add_subcommand("grow", "Grow a plant region into green pixels (Blobspread)");
    cmd->footer("Grows the seed mask into neighbouring pixels of the colour photograph whose green\n"
                "exceeds 240 or whose excess green 2G - R - B exceeds 130, in one forward and one\n"
                "backward raster pass. Writes the grown region as a 0/255 mask; prints JSON with\n"
                "the pixel counts and the region's integer mean excess green (-510..510).\n"
                "--barrier: nonzero pixels of that mask never join the region.");
    cmd->add_option("COLOUR", options->colour, "Colour photograph")->required();
    cmd->add_option("SEEDS", options->seeds, "Seed mask (nonzero = region)")->required();
    cmd->add_option("OUT", options->out, "Grown mask to write")->required();
    cmd->add_option("--barrier", options->barrier, "Mask of pixels that may not join");
    cmd->callback([options] { runGrow(*options); });
}

const RegisterSubcommand kGrow{{"grow", "Blobspread", attachGrow}};

}  // namespace
}  // namespace leafkit
