// `leafkit demo`: the main job on the bundled sample masks.
#include "image_files.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"
#include "synthetic_plant.h"

#include <filesystem>
#include <iostream>
#include <memory>

namespace leafkit {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultDemoOut = "out/demo";
constexpr int kFallbackLeaves = 6;

// The samples sit beside an installed binary (<prefix>/share/leafkit/samples) or in
// the source tree the binary was built from.
fs::path findSamples()
{
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path installed = executable.parent_path().parent_path() / "share" / "leafkit" / "samples";
        if (fs::is_directory(installed)) return installed;
    }
    return LEAFKIT_SAMPLE_DIR;
}

// The samples as a path below the current folder when they lie there, so that the
// tables and the CSV name them briefly.
fs::path shownPath(const fs::path& samples)
{
    const fs::path here = fs::current_path();
    return liesBelow(samples, here) ? fs::relative(samples, here) : samples;
}

// Before the leaf extraction is built, the demo shows what exists: the plant generator.
int runWithoutLeafJob(const fs::path& out)
{
    fs::create_directories(out);
    const fs::path mask = out / "synthetic_plant.png";
    SyntheticPlantSpec spec;
    spec.leaves = kFallbackLeaves;
    writeImage(mask, drawSyntheticPlant(spec).mask);
    std::cout << "leafkit demo: the leaf extraction (libvelkleaf) is not part of this build, so the\n"
                 "main job cannot run. The demo drew a synthetic plant with "
              << kFallbackLeaves << " leaves instead:\n  " << mask.string() << '\n';
    return 0;
}

int runDemo(const std::string& out, int jobs)
{
    const LeafJob leafJob = registeredLeafJob();
    if (!leafJob) return runWithoutLeafJob(out);
    const fs::path samples = shownPath(findSamples());
    LeafJobRequest request;
    request.inputs = {samples.string()};
    request.outDir = out;
    request.jobs = jobs;
    request.alwaysTables = true;
    std::cout << "leafkit demo: the main job (`leafkit leaves`) on the bundled sample masks in\n  " << samples.string()
              << "\n\n";
    const int status = leafJob(request);
    std::cout << "\nOutputs: " << (fs::path(out) / "leaves.csv").string() << " (one row per leaf), "
              << (fs::path(out) / "leaves.json").string() << ",\n         and one *_overview.png per mask in "
              << out << "/\n";
    return status;
}

void attachDemo(CLI::App& app)
{
    auto out = std::make_shared<std::string>(kDefaultDemoOut);
    auto jobs = std::make_shared<int>(0);
    auto* cmd = app.add_subcommand("demo", "Run the main job on the bundled sample masks");
    cmd->footer("Runs `leafkit leaves` on the real side-view maize masks bundled with leafkit\n"
                "(data/samples/, see its README for source and licence), prints a table per\n"
                "plant and tells where the CSV, JSON and overview images went.");
    cmd->add_option("--out", *out, "Output folder")->capture_default_str();
    cmd->add_option("--jobs", *jobs, "Worker processes (default: one per core)");
    cmd->callback([out, jobs] {
        if (const int status = runDemo(*out, *jobs); status != 0) throw CLI::RuntimeError(status);
    });
}

const RegisterSubcommand kDemo{{"demo", "", attachDemo}};

}  // namespace
}  // namespace leafkit
