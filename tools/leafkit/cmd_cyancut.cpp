// `leafkit potcut`: removes the blue pot and clears the border of a plant mask
// (remove_blue_plot, remove_blue_plot_EG).
#include "cyancut.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <memory>

namespace leafkit {
namespace {

struct PotCutOptions {
    std::string colour, mask, out, secondMask, level;
    unsigned threshold = 0;
    bool borderOnly = false;
};

cv::Mat readMatching(const std::string& path, const cv::Mat& reference, const std::string& referencePath,
                     cv::Mat (*read)(const std::filesystem::path&))
{
    const cv::Mat image = read(path);
    requireSameSize(reference, referencePath, image, path);
    return image.clone();
}

void runPotCut(const PotCutOptions& options)
{
    const cv::Mat plant = readPlantMask(options.mask);
    cv::Mat mask = zeroOneMask(plant);
    const int before = cv::countNonZero(mask);
    if (options.borderOnly) {
        remove_blue_plot_EG(nullptr, nullptr, nullptr, mask.rows, mask.cols, mask.data);
    } else {
        const cv::Mat colour = readMatching(options.colour, plant, options.mask, readColourImage);
        std::vector<cv::Mat> bgr;
        cv::split(colour, bgr);
        // By default both replacement windows give back the mask as it was.
        const cv::Mat second = options.secondMask.empty()
                                   ? mask.clone()
                                   : zeroOneMask(readMatching(options.secondMask, plant, options.mask, readPlantMask));
        const cv::Mat level = options.level.empty() ? plant : readMatching(options.level, plant, options.mask, readGrayImage);
        remove_blue_plot(bgr[2].data, bgr[1].data, bgr[0].data, mask.rows, mask.cols, mask.data, second.data,
                         level.data, options.threshold);
    }
    writeImage(options.out, maskToVisible(mask));
    printReport({{"output", options.out},
                 {"plant_pixels_before", before},
                 {"plant_pixels_after", cv::countNonZero(mask)}});
}

void attachPotCut(CLI::App& app)
{
    auto options = std::make_shared<PotCutOptions>();
    auto* cmd = app.add_subcommand("potcut", "Remove the blue pot from a plant mask (cyancut)");
    cmd->footer("Fixed windows for the 2448 x 2048 side camera (clipped on smaller images): in the\n"
                "last 150 rows, columns 700..1099, plant pixels whose red is below green and blue are\n"
                "removed; a two-pixel border is cleared; rows 1860..2048, columns 630..1099 are\n"
                "replaced by --second-mask; rows 1750..1929, columns 700..899 become plant where\n"
                "--level exceeds --threshold. Without --second-mask and --level both windows keep\n"
                "the input mask. --border-only clears the border alone (COLOUR is not read).\n"
                "Writes a 0/255 mask; prints JSON with plant pixel counts.");
    cmd->add_option("COLOUR", options->colour, "Colour photograph")->required();
    cmd->add_option("MASK", options->mask, "Plant mask of the photograph")->required();
    cmd->add_option("OUT", options->out, "Mask to write")->required();
    cmd->add_option("--second-mask", options->secondMask, "Mask for the replacement window");
    cmd->add_option("--level", options->level, "Gray image for the threshold window");
    cmd->add_option("--threshold", options->threshold, "Level threshold (plant where level > threshold)")
        ->capture_default_str();
    cmd->add_flag("--border-only", options->borderOnly, "Only clear the border (remove_blue_plot_EG)");
    cmd->callback([options] { runPotCut(*options); });
}

const RegisterSubcommand kPotCut{{"potcut", "cyancut", attachPotCut}};

}  // namespace
}  // namespace leafkit
