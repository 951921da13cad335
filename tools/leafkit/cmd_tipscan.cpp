// `leafkit ends`: free ends and junction pixels of a skeleton (FreeEndDetect).
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"
#include "tipscan.h"

#include <algorithm>
#include <memory>

namespace leafkit {
namespace {

// FreeEndDetect writes at most this many records of each kind.
constexpr int kPointCapacity = 1000;
constexpr unsigned char kFreeEndMark = 1;
constexpr unsigned char kJunctionMark = 2;

struct EndsOptions {
    std::string skeleton, out;
};

nlohmann::ordered_json pointList(const std::vector<TipscanPoint>& points, int found)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (int i = 0; i < std::min(found, kPointCapacity); ++i) list.push_back({{"x", points[i].x}, {"y", points[i].y}});
    return list;
}

void runEnds(const EndsOptions& options)
{
    // Any nonzero pixel is skeleton; the library counts exactly 255 as skeleton.
    cv::Mat image = readPlantMask(options.skeleton);
    std::vector<TipscanPoint> ends(kPointCapacity), junctions(kPointCapacity);
    FreeEndDetect(image.data, image.cols, image.rows, ends.data(), junctions.data());
    writeImage(options.out, image);
    const int endCount = cv::countNonZero(image == kFreeEndMark);
    const int junctionCount = cv::countNonZero(image == kJunctionMark);
    printReport({{"output", options.out},
                 {"free_end_count", endCount},
                 {"junction_count", junctionCount},
                 {"listed_up_to", kPointCapacity},
                 {"free_ends", pointList(ends, endCount)},
                 {"junctions", pointList(junctions, junctionCount)}});
}

void attachEnds(CLI::App& app)
{
    auto options = std::make_shared<EndsOptions>();
    auto* cmd = app.add_subcommand("ends", "Free ends and junction pixels of a skeleton (FreeEndDetect)");
    cmd->footer("Reads a one-pixel-wide skeleton (any nonzero pixel is skeleton, e.g. the output of\n"
                "`leafkit skeleton`) and writes it as a marked skeleton: 255 skeleton, 1 free end,\n"
                "2 junction pixel (raw values; the input of `label`, `branches` and `leafpath`).\n"
                "Prints JSON with both counts and the points in row-major scan order, each list\n"
                "cut at 1000 points (every pixel is still marked).");
    cmd->add_option("SKELETON", options->skeleton, "Skeleton image")->required();
    cmd->add_option("OUT", options->out, "Marked skeleton to write (.png)")->required();
    cmd->callback([options] { runEnds(*options); });
}

const RegisterSubcommand kEnds{{"ends", "tipscan", attachEnds}};

}  // namespace
}  // namespace leafkit
