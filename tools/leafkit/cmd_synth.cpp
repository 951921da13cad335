// `leafkit synth`: writes a synthetic plant mask and prints where its leaves are.
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"
#include "synthetic_plant.h"

#include <memory>

namespace leafkit {
namespace {

void runSynth(const SyntheticPlantSpec& spec, const std::string& out)
{
    const SyntheticPlant plant = drawSyntheticPlant(spec);
    writeImage(out, plant.mask);
    nlohmann::ordered_json leaves = nlohmann::ordered_json::array();
    for (const auto& leaf : plant.leaves)
        leaves.push_back({{"base", pointJson(leaf.base)}, {"tip", pointJson(leaf.tip)}, {"length_px", leaf.length}});
    const nlohmann::ordered_json report = {{"output", out},
                                   {"rows", plant.mask.rows},
                                   {"cols", plant.mask.cols},
                                   {"seed", spec.seed},
                                   {"stem_base", pointJson(plant.stemBase)},
                                   {"stem_top", pointJson(plant.stemTop)},
                                   {"stem_width_px", plant.stemWidth},
                                   {"leaves", leaves}};
    printReport(report);
}

void attachSynth(CLI::App& app)
{
    auto spec = std::make_shared<SyntheticPlantSpec>();
    auto out = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("synth", "Draw a synthetic upright maize plant mask (seeded)");
    cmd->footer("Writes a 0/255 mask: a stem rising from the bottom rows and curved, tapering leaves\n"
                "alternating left and right, the middle ones longest. The same options give the same\n"
                "image. Prints JSON: stem base and top, and per leaf its base, tip and midrib length\n"
                "(pixels), lowest leaf first. Sizes are clamped to 200..20000, leaves to 0..30.");
    cmd->add_option("OUT", *out, "Mask file to write (.png, .tif or .bmp)")->required();
    cmd->add_option("--leaves", spec->leaves, "Number of leaves")->capture_default_str();
    cmd->add_option("--seed", spec->seed, "Seed of the leaf angles, lengths and stem position")->capture_default_str();
    cmd->add_option("--rows", spec->rows, "Image height in pixels")->capture_default_str();
    cmd->add_option("--cols", spec->cols, "Image width in pixels")->capture_default_str();
    cmd->callback([spec, out] { runSynth(*spec, *out); });
}

const RegisterSubcommand kSynth{{"synth", "", attachSynth}};

}  // namespace
}  // namespace leafkit
