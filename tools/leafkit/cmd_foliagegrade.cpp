// `leafkit density`: block leaf density and density classes (CalLeafDens, DensClassify).
#include "foliagegrade.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <array>
#include <memory>

namespace leafkit {
namespace {

constexpr int kDefaultBlockSide = 50;
constexpr std::array<const char*, 6> kClassRanges = {"0-0.1", "0.1-0.2", "0.2-0.4", "0.4-0.6", "0.6-0.8", "0.8-1"};

struct DensityOptions {
    std::string mask, densityOut;
    int blockSide = kDefaultBlockSide;
};

void runDensity(const DensityOptions& options)
{
    const cv::Mat mask = readPlantMask(options.mask);
    cv::Mat density = cv::Mat::zeros(mask.size(), CV_32FC1);
    const int blockColumns = CalLeafDens(mask.data, mask.rows, mask.cols, options.blockSide, density.ptr<float>());
    std::array<float, 6> classes{};
    DensClassify(density.ptr<float>(), density.rows, density.cols, classes.data());
    if (!options.densityOut.empty()) writeImage(options.densityOut, density);
    nlohmann::ordered_json classTable = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < classes.size(); ++i)
        classTable.push_back({{"density", kClassRanges[i]}, {"fraction", classes[i]}});
    printReport({{"mask", options.mask},
                 {"block_side_px", options.blockSide},
                 {"block_columns", blockColumns},
                 {"plant_pixels", cv::countNonZero(mask)},
                 {"classes", classTable}});
}

void attachDensity(CLI::App& app)
{
    auto options = std::make_shared<DensityOptions>();
    auto* cmd = app.add_subcommand("density", "Leaf density and density classes (CalLeafDens, DensClassify)");
    cmd->footer("Tiles the mask into --block x --block squares from the top-left corner; every plant\n"
                "pixel gets its block's density (plant pixels / block area, partial edge blocks\n"
                "divided by the full area). Prints JSON with the number of block columns and the\n"
                "fraction of plant pixels in each of six density classes (lower bound included).\n"
                "--density-out writes the density image as a 32-bit float TIFF.");
    cmd->add_option("MASK", options->mask, "Plant mask")->required();
    cmd->add_option("--block", options->blockSide, "Block side in pixels")->capture_default_str()->check(CLI::PositiveNumber);
    cmd->add_option("--density-out", options->densityOut, "Density image to write (.tif)");
    cmd->callback([options] { runDensity(*options); });
}

const RegisterSubcommand kDensity{{"density", "foliagegrade", attachDensity}};

}  // namespace
}  // namespace leafkit
