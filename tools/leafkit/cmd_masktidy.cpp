// Mask tidying (masktidy): `threshold` a float image, `fill` enclosed background,
// `remove-small` regions and `fill-holes`.
#include "image_files.h"
#include "masktidy.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <memory>
#include <stdexcept>

namespace leafkit {
namespace {

struct TidyOptions {
    std::string in, out;
    float level = 0.0f;
    int maxArea = 0;
    bool unframed = false;
};

using RegionOperation = int (*)(unsigned char*, int, int, int);

// Runs one masktidy operation on the 0/1 form of a mask and writes it as 0/255.
template <typename Operation>
void runOnMask(const TidyOptions& options, Operation operation)
{
    cv::Mat mask = zeroOneMask(readPlantMask(options.in));
    const int before = cv::countNonZero(mask);
    if (operation(mask) == 0) throw std::runtime_error(options.in + ": not enough memory for the region stack");
    writeImage(options.out, maskToVisible(mask));
    printReport({{"output", options.out}, {"plant_pixels_before", before}, {"plant_pixels_after", cv::countNonZero(mask)}});
}

void runThreshold(const TidyOptions& options)
{
    const cv::Mat values = readFloatImage(options.in).clone();
    cv::Mat mask(values.size(), CV_8UC1);
    imbinary(values.ptr<float>(), values.rows, values.cols, options.level, mask.data);
    writeImage(options.out, maskToVisible(mask));
    printReport({{"output", options.out}, {"level", options.level}, {"plant_pixels", cv::countNonZero(mask)}});
}

CLI::App* addMaskCommand(CLI::App& app, const std::shared_ptr<TidyOptions>& options, const char* name,
                         const char* description, const char* footer)
{
    auto* cmd = app.add_subcommand(name, description);
    cmd->footer(footer);
    cmd->add_option("MASK", options->in, "Plant mask")->required();
    cmd->add_option("OUT", options->out, "Mask to write (0/255)")->required();
    return cmd;
}

void attachRegionCommand(CLI::App& app, const char* name, const char* description, const char* footer,
                         RegionOperation framed, RegionOperation unframed)
{
    auto options = std::make_shared<TidyOptions>();
    auto* cmd = addMaskCommand(app, options, name, description, footer);
    cmd->add_option("--max-area", options->maxArea, "Largest region size changed, in pixels")->required();
    cmd->add_flag("--unframed", options->unframed, "Use the mask's own outermost rows and columns as its frame");
    cmd->callback([options, framed, unframed] {
        const RegionOperation operation = options->unframed ? unframed : framed;
        runOnMask(*options, [&](cv::Mat& mask) { return operation(mask.data, mask.rows, mask.cols, options->maxArea); });
    });
}

void attachThreshold(CLI::App& app)
{
    auto options = std::make_shared<TidyOptions>();
    auto* cmd = app.add_subcommand("threshold", "Threshold a float image into a mask (imbinary)");
    cmd->footer("Plant where the value is at least --level (NaN is background). Reads a one-channel\n"
                "image, typically a 32-bit float TIFF; integer images are compared by their levels.\n"
                "Writes a 0/255 mask; prints JSON with the plant pixel count.");
    cmd->add_option("IMAGE", options->in, "One-channel image")->required();
    cmd->add_option("OUT", options->out, "Mask to write (0/255)")->required();
    cmd->add_option("--level", options->level, "Threshold")->required();
    cmd->callback([options] { runThreshold(*options); });
}

void attachFill(CLI::App& app)
{
    auto options = std::make_shared<TidyOptions>();
    auto* cmd = addMaskCommand(app, options, "fill", "Fill background not connected to the corner (bwfill)",
                               "Makes plant every background pixel that is not 4-connected to pixel (1, 1),\n"
                               "so enclosed background of any size is filled. The outermost rows and columns\n"
                               "end as background. Prints JSON with plant pixel counts.");
    cmd->callback([options] { runOnMask(*options, [](cv::Mat& mask) { return bwfill(mask.data, mask.rows, mask.cols); }); });
}

void attachRemoveSmall(CLI::App& app)
{
    attachRegionCommand(app, "remove-small", "Remove small plant regions (bwremove)",
                        "Removes 8-connected plant regions of at most --max-area pixels. --unframed\n"
                        "(bwremove1) leaves plant pixels on the outermost rows and columns alone.\n"
                        "Prints JSON with plant pixel counts.",
                        bwremove, bwremove1);
}

void attachFillHoles(CLI::App& app)
{
    attachRegionCommand(app, "fill-holes", "Fill small holes in the plant (bwFillHole)",
                        "Fills 4-connected background regions of at most --max-area pixels; a small\n"
                        "notch at the image edge counts as a hole. --unframed (bwFillHole1) uses the\n"
                        "outermost rows and columns as the frame; they end as background.\n"
                        "Prints JSON with plant pixel counts.",
                        bwFillHole, bwFillHole1);
}

const RegisterSubcommand kThreshold{{"threshold", "masktidy", attachThreshold}};
const RegisterSubcommand kFill{{"fill", "masktidy", attachFill}};
const RegisterSubcommand kRemoveSmall{{"remove-small", "masktidy", attachRemoveSmall}};
const RegisterSubcommand kFillHoles{{"fill-holes", "masktidy", attachFillHoles}};

}  // namespace
}  // namespace leafkit
