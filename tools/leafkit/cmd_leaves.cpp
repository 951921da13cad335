// `leafkit leaves`: the main job. Every plant mask goes through the leaf extraction in
// a worker process; the parent writes each overview image as it arrives, prints the
// tables in input order, and writes the CSV and JSON of the whole run at the end.
#include "atomic_file.h"
#include "image_files.h"
#include "leaf_job.h"
#include "leaf_report.h"
#include "progress_bar.h"
#include "subcommand_io.h"
#include "subcommand_registry.h"
#include "worker_pool.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <thread>

namespace leafkit {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultOut = "out";
constexpr const char* kCsvName = "leaves.csv";
constexpr const char* kJsonName = "leaves.json";
constexpr const char* kOverviewSuffix = "_overview.png";
constexpr std::size_t kProgressBarMinImages = 3;
constexpr int kJsonIndent = 2;

struct InputImage {
    std::string path;
    std::string overview;  // file name of its overview image
};

struct InputList {
    std::vector<InputImage> images;
    std::vector<std::string> errors;
};

// The images below a folder, sorted by path, leaving out the output folder. Their
// overview names keep the sub-folders: a/b/3.png becomes a_b_3.
void addFolder(const fs::path& folder, const fs::path& outFolder, InputList& list)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file() && hasImageExtension(it->path()) && !liesBelow(it->path(), outFolder))
            files.push_back(it->path());
    }
    if (error) list.errors.push_back(folder.string() + ": cannot search the folder: " + error.message());
    if (files.empty()) {
        list.errors.push_back(folder.string() + ": no PNG, TIFF, BMP or JPEG images in this folder");
        return;
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        std::string name = fs::relative(file, folder).replace_extension().generic_string();
        std::replace(name.begin(), name.end(), '/', '_');
        list.images.push_back({file.string(), name});
    }
}

// Two inputs with the same name get overview names name, name-2, name-3, ... in input order.
void makeOverviewNamesUnique(std::vector<InputImage>& images)
{
    std::map<std::string, int> uses;
    for (InputImage& image : images) {
        const int use = ++uses[image.overview];
        if (use > 1) image.overview += "-" + std::to_string(use);
        image.overview += kOverviewSuffix;
    }
}

InputList collectInputs(const std::vector<std::string>& arguments, const fs::path& outFolder)
{
    InputList list;
    for (const std::string& argument : arguments) {
        if (fs::is_directory(argument))
            addFolder(argument, outFolder, list);
        else
            list.images.push_back({argument, fs::path(argument).stem().string()});
    }
    makeOverviewNamesUnique(list.images);
    return list;
}

int defaultJobs()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? static_cast<int>(cores) : 1;
}

// Collects the outcomes as the workers deliver them and shows them in input order.
class RunPresenter {
public:
    RunPresenter(const std::vector<InputImage>& inputs, const fs::path& out, std::optional<double> pixelSizeMm,
                 bool tables)
        : inputs_(inputs), out_(out), pixelSizeMm_(pixelSizeMm), tables_(tables),
          bar_(inputs.size(), isatty(STDERR_FILENO) && inputs.size() >= kProgressBarMinImages),
          images_(inputs.size()), ready_(inputs.size(), false)
    {
    }

    void deliver(std::size_t index, ImageOutcome outcome)
    {
        AnalysedImage& image = images_[index];
        image.outcome = std::move(outcome);
        if (image.outcome.error.empty()) writeOverview(image, inputs_[index].overview);
        ready_[index] = true;
        printReadyImages();
        bar_.advance();
    }

    std::vector<AnalysedImage> takeImages()
    {
        bar_.clear();
        return std::move(images_);
    }

private:
    void writeOverview(AnalysedImage& image, const std::string& name)
    {
        try {
            writeFileAtomically(out_ / name, image.outcome.overviewPng);
            image.overview = name;
        } catch (const std::exception& e) {
            image.outcome.error = image.outcome.input + ": " + e.what();
        }
        image.outcome.overviewPng.clear();
    }

    // Errors and tables appear in input order, whichever worker finishes first.
    void printReadyImages()
    {
        for (; printed_ < ready_.size() && ready_[printed_]; ++printed_) {
            const AnalysedImage& image = images_[printed_];
            if (!image.outcome.error.empty()) {
                bar_.clear();
                std::cerr << "leafkit: " << image.outcome.error << '\n';
            } else if (tables_) {
                bar_.clear();
                std::cout << imageTable(image, pixelSizeMm_) << '\n' << std::flush;
            }
        }
    }

    const std::vector<InputImage>& inputs_;
    fs::path out_;
    std::optional<double> pixelSizeMm_;
    bool tables_;
    ProgressBar bar_;
    std::vector<AnalysedImage> images_;
    std::vector<bool> ready_;
    std::size_t printed_ = 0;
};

void printSummary(const RunReport& report, std::size_t inputErrors, const fs::path& out, double seconds)
{
    std::size_t failed = inputErrors, leaves = 0, analysed = 0;
    for (const AnalysedImage& image : report.images) {
        if (!image.outcome.error.empty()) {
            ++failed;
            continue;
        }
        ++analysed;
        leaves += image.outcome.leaves.size();
    }
    std::cerr << "leafkit: " << analysed << " image" << (analysed == 1 ? "" : "s") << " analysed, " << leaves
              << " leaves found, " << failed << " failed, in " << std::fixed << std::setprecision(1) << seconds
              << " s; results in " << (out / kCsvName).string() << " and " << (out / kJsonName).string() << '\n';
}

int runLeafJob(const LeafJobRequest& request)
{
    const auto start = std::chrono::steady_clock::now();
    const fs::path out = request.outDir;
    std::error_code error;
    fs::create_directories(out, error);
    if (error) throw std::runtime_error("cannot create the output folder " + out.string() + ": " + error.message());

    const InputList inputs = collectInputs(request.inputs, out);
    for (const std::string& message : inputs.errors) std::cerr << "leafkit: " << message << '\n';
    if (inputs.images.empty()) {
        std::cerr << "leafkit: no images to analyse\n";
        return kExitFailure;
    }

    RunReport report;
    if (request.pixelSizeMm > 0) report.pixelSizeMm = request.pixelSizeMm;
    RunPresenter presenter(inputs.images, out, report.pixelSizeMm, request.alwaysTables || isatty(STDOUT_FILENO));
    runInWorkerProcesses(
        inputs.images.size(), request.jobs > 0 ? request.jobs : defaultJobs(),
        [&](std::size_t i) { return encodeOutcome(analyseImage(inputs.images[i].path)); },
        [&](std::size_t i, std::string result, const std::string& failure) {
            if (!failure.empty()) {
                ImageOutcome crashed;
                crashed.input = inputs.images[i].path;
                crashed.error = crashed.input + ": " + failure;
                return presenter.deliver(i, std::move(crashed));
            }
            presenter.deliver(i, decodeOutcome(result));
        });
    report.images = presenter.takeImages();
    report.runDate = utcTimestamp();
    writeFileAtomically(out / kCsvName, leafCsv(report));
    writeFileAtomically(out / kJsonName, leafJson(report).dump(kJsonIndent) + '\n');

    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printSummary(report, inputs.errors.size(), out, seconds);
    const bool anyFailed = !inputs.errors.empty() || std::any_of(report.images.begin(), report.images.end(),
                                                                 [](const AnalysedImage& i) { return !i.outcome.error.empty(); });
    return anyFailed ? kExitFailure : 0;
}

void attachLeaves(CLI::App& app)
{
    auto request = std::make_shared<LeafJobRequest>();
    request->outDir = kDefaultOut;
    auto* cmd = app.add_subcommand("leaves", "Main job: find every leaf of upright maize plants in their masks");
    cmd->footer(
        "Reads side-view plant masks (one upright plant each, stem base toward the bottom rows;\n"
        "PNG, TIFF, BMP or JPEG, 8/16 bit, gray or colour: any nonzero pixel is plant, JPEG pixels\n"
        "are plant from a brightest channel of 128 up). Folders are searched for images, sorted\n"
        "by path. Writes into --out:\n"
        "  leaves.csv   one row per leaf: image, leaf (1-based), tip_x, tip_y, base_x, base_y,\n"
        "               base_angle_deg, chord_angle_deg, leaf_length_px, chord_length_px,\n"
        "               stem_diameter_px (with --px-size a _mm column beside each length)\n"
        "  leaves.json  the same per image, with the toolkit version, input names and run date\n"
        "  NAME_overview.png  per image: kept skeleton green, stem yellow, leaves in colour,\n"
        "               tip candidates ringed red\n"
        "Pixels: x = column, y = row from the top-left. Angles: |270 - direction| in degrees,\n"
        "direction in image orientation (0 right, 90 down), so up 0, left 90, down 180, right\n"
        "270; base angle: from the base toward the leaf's fifth-last point, chord angle: from\n"
        "the base to the tip. Lengths in pixels: along the leaf path, and straight base to tip.\n"
        "A leaf with no path to the stem has empty cells (null in JSON).\n"
        "Unreadable images get a one-line error; the others are still done and the exit status\n"
        "is 1. Results do not depend on --jobs. Outputs are replaced atomically.");
    cmd->add_option("IMAGE", request->inputs, "Plant masks or folders of them")->required();
    cmd->add_option("--out", request->outDir, "Output folder")->capture_default_str();
    cmd->add_option("--px-size", request->pixelSizeMm, "Pixel size in millimetres: adds lengths in mm")
        ->check(CLI::PositiveNumber);
    cmd->add_option("--jobs", request->jobs, "Worker processes (default: one per core)")->check(CLI::PositiveNumber);
    cmd->callback([request] {
        if (const int status = runLeafJob(*request); status != 0) throw CLI::RuntimeError(status);
    });
}

const RegisterSubcommand kLeaves{{"leaves", "velkleaf", attachLeaves}};

struct RegisterLeafJob {
    RegisterLeafJob() { registerLeafJob(runLeafJob); }
} const kLeafJob;

}  // namespace
}  // namespace leafkit
