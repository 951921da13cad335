// `leafkit leafpath`: the inner point, direction and paths of one leaf's marked
// skeleton (Wayfind_forleaf).
#include "Wayfind.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <memory>

namespace leafkit {
namespace {

struct LeafPathOptions {
    std::string marked, out;
};

void runLeafPath(const LeafPathOptions& options)
{
    cv::Mat image = readGrayImage(options.marked).clone();
    int innerColumn = 0, innerRow = 0;
    float angle = 0, distance = 0;
    const int height = Wayfind_forleaf(image.data, image.cols, image.rows, &innerColumn, &innerRow, nullptr, nullptr,
                                       &angle, nullptr, &distance);
    writeImage(options.out, image);
    nlohmann::ordered_json report = {{"output", options.out}, {"found", height != 0}};
    if (height != 0) {
        // The library reports framed positions, one right of and below the image's.
        report["inner_point"] = pointJson({innerColumn - 1, innerRow - 1});
        report["height_above_bottom_px"] = height;
        report["angle_deg"] = angle;
        report["distance_px"] = distance;
    }
    printReport(report);
}

void attachLeafPath(CLI::App& app)
{
    auto options = std::make_shared<LeafPathOptions>();
    auto* cmd = app.add_subcommand("leafpath", "Inner point and paths of one leaf's marked skeleton (Wayfind_forleaf)");
    cmd->footer("Takes the topmost junction pixel (2) and the lowest free end (1); the inner point is\n"
                "the one farther from the left, right and top sides. Prints JSON: the inner point\n"
                "(image coordinates), its height above the image bottom (rows + 1 - y), the straight\n"
                "distance to the other point and the direction from the other point to it (degrees\n"
                "counter-clockwise from the +x axis, y up; -90..270). found is false without a\n"
                "junction or a free end. Writes the skeleton with both points marked 200 and the\n"
                "paths from the other tips marked 250.");
    cmd->add_option("MARKED", options->marked, "Marked skeleton of one leaf (see `leafkit ends`)")->required();
    cmd->add_option("OUT", options->out, "Marked skeleton to write (.png)")->required();
    cmd->callback([options] { runLeafPath(*options); });
}

const RegisterSubcommand kLeafPath{{"leafpath", "Wayfind", attachLeafPath}};

}  // namespace
}  // namespace leafkit
