// `leafkit label`: a label per branch of a marked skeleton (SpineWalk).
#include "SpineWalk.h"
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"

#include <memory>

namespace leafkit {
namespace {

constexpr int kFirstLabel = 3;
constexpr int kLevels = 256;

struct LabelOptions {
    std::string marked, out;
};

void runLabel(const LabelOptions& options)
{
    cv::Mat image = readGrayImage(options.marked).clone();
    SpineWalk(image.data, image.cols, image.rows);
    writeImage(options.out, image);
    std::vector<bool> seen(kLevels, false);
    int labelled = 0;
    for (auto it = image.begin<unsigned char>(); it != image.end<unsigned char>(); ++it)
        if (*it >= kFirstLabel) {
            seen[*it] = true;
            ++labelled;
        }
    printReport({{"output", options.out},
                 {"labelled_pixels", labelled},
                 {"distinct_labels", std::count(seen.begin(), seen.end(), true)}});
}

void attachLabel(CLI::App& app)
{
    auto options = std::make_shared<LabelOptions>();
    auto* cmd = app.add_subcommand("label", "Give every branch of a marked skeleton a label (SpineWalk)");
    cmd->footer("Reads a marked skeleton (raw values: 255 skeleton, 1 free end, 2 junction; see\n"
                "`leafkit ends`) and writes it with each branch's pixels set to its label: 3, 4, ...\n"
                "in walk order (free ends first, then junctions), restarting at 3 after 255.\n"
                "Ends and junctions keep 1 and 2; unreached skeleton keeps 255. Prints JSON with\n"
                "the number of labelled pixels and of distinct labels.");
    cmd->add_option("MARKED", options->marked, "Marked skeleton")->required();
    cmd->add_option("OUT", options->out, "Labelled skeleton to write (.png)")->required();
    cmd->callback([options] { runLabel(*options); });
}

const RegisterSubcommand kLabel{{"label", "SpineWalk", attachLabel}};

}  // namespace
}  // namespace leafkit
