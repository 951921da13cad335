// `leafkit skeleton` and `leafkit ridge`: velkleaf's skeleton and ridge points of a mask.
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"
#include "velkleaf.h"

#include <memory>

namespace leafkit {
namespace {

using MaskToRaster = void (*)(unsigned char*, int, int, unsigned char*);

struct MaskToRasterOptions {
    std::string mask, out;
};

void runMaskToRaster(const MaskToRasterOptions& options, MaskToRaster operation, const char* countName)
{
    cv::Mat mask = readPlantMask(options.mask);
    cv::Mat result = cv::Mat::zeros(mask.size(), CV_8UC1);
    operation(mask.data, mask.rows, mask.cols, result.data);
    // Large masks give skeleton pixels of any value 1..255; written as 255 they are
    // what `leafkit ends` expects.
    const cv::Mat visible = maskToVisible(result);
    writeImage(options.out, visible);
    printReport({{"output", options.out}, {countName, cv::countNonZero(visible)}});
}

void attachMaskToRaster(CLI::App& app, const char* name, const char* description, const char* footer,
                        MaskToRaster operation, const char* countName)
{
    auto options = std::make_shared<MaskToRasterOptions>();
    auto* cmd = app.add_subcommand(name, description);
    cmd->footer(footer);
    cmd->add_option("MASK", options->mask, "Plant mask")->required();
    cmd->add_option("OUT", options->out, "Image to write (0/255)")->required();
    cmd->callback([options, operation, countName] { runMaskToRaster(*options, operation, countName); });
}

void attachSkeleton(CLI::App& app)
{
    attachMaskToRaster(app, "skeleton", "Thin a mask to a one-pixel skeleton (skeleton_C_Fast)",
                       "Writes the skeleton as 0/255 (masks of 1,000,000 pixels or more are thinned at a\n"
                       "reduced size first, then again at full size). Prints JSON with the number of\n"
                       "skeleton pixels. The result is the input of `leafkit ends`.",
                       skeleton_C_Fast, "skeleton_pixels");
}

void attachRidge(CLI::App& app)
{
    attachMaskToRaster(app, "ridge", "Ridge points of a mask from its distance map (getRidgePoint)",
                       "Writes 255 at the ridge points (local maxima of the distance to the background,\n"
                       "at least 5 pixels deep after widening thick parts) and 0 elsewhere. Prints JSON\n"
                       "with the number of ridge points.",
                       getRidgePoint, "ridge_points");
}

const RegisterSubcommand kSkeleton{{"skeleton", "velkleaf", attachSkeleton}};
const RegisterSubcommand kRidge{{"ridge", "velkleaf", attachRidge}};

}  // namespace
}  // namespace leafkit
