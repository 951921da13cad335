// `leafkit envelope`: the convex envelope of all plant regions, its drawings and area
// (PlantEnvelope).
#include "PlantEnvelope.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <opencv2/imgproc.hpp>

#include <memory>

namespace leafkit {
namespace {

struct EnvelopeOptions {
    std::string mask, hull, overlay;
};

void runEnvelope(const EnvelopeOptions& options)
{
    const cv::Mat mask = readPlantMask(options.mask);
    cv::Mat hull = cv::Mat::zeros(mask.size(), CV_8UC1);
    // The overlay shows the hull over the plant: the library draws on what it is given.
    cv::Mat overlay;
    cv::cvtColor(mask, overlay, cv::COLOR_GRAY2BGRA);
    const double area = PlantEnvelope(mask.data, mask.cols, mask.rows, hull.data, overlay.data);
    if (!options.hull.empty()) writeImage(options.hull, hull);
    if (!options.overlay.empty()) {
        cv::Mat bgr;  // the library draws with alpha 0, which a viewer would show as transparent
        cv::cvtColor(overlay, bgr, cv::COLOR_BGRA2BGR);
        writeImage(options.overlay, bgr);
    }
    printReport({{"mask", options.mask}, {"area_px2", area}, {"plant_pixels", cv::countNonZero(mask)}});
}

void attachEnvelope(CLI::App& app)
{
    auto options = std::make_shared<EnvelopeOptions>();
    auto* cmd = app.add_subcommand("envelope", "Convex envelope of the plant and its area (PlantEnvelope)");
    cmd->footer("Prints JSON with the area in square pixels of the convex hull through the centres\n"
                "of the plant's outer boundary pixels (holes ignored; 0 for an empty mask or a hull\n"
                "of one or two vertices). --hull writes the outline (255, 3 px, anti-aliased) on\n"
                "black; --overlay writes the plant in gray with the outline in blue, the hull\n"
                "vertices ringed in green and the outer contours in red.");
    cmd->add_option("MASK", options->mask, "Plant mask")->required();
    cmd->add_option("--hull", options->hull, "Hull outline image to write");
    cmd->add_option("--overlay", options->overlay, "Colour overlay image to write");
    cmd->callback([options] { runEnvelope(*options); });
}

const RegisterSubcommand kEnvelope{{"envelope", "PlantEnvelope", attachEnvelope}};

}  // namespace
}  // namespace leafkit
