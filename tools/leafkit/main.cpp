// leafkit: one command line over the toolkit's libraries. The leaf extraction
// (`leafkit leaves`) is the main job; every other subcommand runs one library
// operation on image files and prints its scalar results as JSON.
#include "atomic_file.h"
#include "subcommand_registry.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>
#include <set>
#include <string>

namespace {

constexpr const char* kConventions = R"(
Conventions shared by every subcommand:
  Images are PNG, TIFF, BMP or JPEG files, 8 or 16 bit, gray or colour.
  Masks: a pixel is plant when any colour channel is nonzero (alpha is ignored);
  JPEG masks are lossy, so there a pixel is plant when its brightest channel is
  at least 128. Written masks are 0/255 PNGs; marked skeletons keep their raw
  values (1 free end, 2 junction, 255 skeleton, 3.. branch labels).
  Coordinates are x = column, y = row, 0-based from the top-left pixel.
  Angles are degrees in image orientation (0 right, 90 down, 180 left, 270 up);
  leaf angles are |270 - direction|: up 0, left 90, down 180, right 270.
  Lengths are in pixels.
  Outputs are written atomically: a temporary file, then a rename.
Run `leafkit CMD --help` for the details of one subcommand.)";

// The libraries this build reaches, as its subcommands registered them.
std::string builtLibraries()
{
    std::set<std::string> libraries;
    for (const auto& subcommand : leafkit::registeredSubcommands())
        if (!subcommand.library.empty()) libraries.insert(subcommand.library);
    std::string list;
    for (const auto& library : libraries) list += (list.empty() ? "" : ", ") + library;
    return list.empty() ? "none" : list;
}

}  // namespace

int main(int argc, char** argv)
{
    leafkit::installTemporaryFileCleanup();

    CLI::App app{"leafkit: maize plant phenotyping from side-view plant masks.\n"
                 "Main job: `leafkit leaves IMAGE...` extracts every leaf (tip, base, angles,\n"
                 "lengths) and the stem diameter; `leafkit demo` runs it on the bundled sample.",
                 "leafkit"};
    app.set_version_flag("--version", std::string("leafkit ") + LEAFKIT_VERSION);
    app.footer(std::string(kConventions) + "\nLibraries in this build: " + builtLibraries() + ".");
    app.require_subcommand(1);
    for (const auto& subcommand : leafkit::registeredSubcommands()) subcommand.attach(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    } catch (const std::exception& e) {
        std::cerr << "leafkit: " << e.what() << '\n';
        return leafkit::kExitFailure;
    }
    return 0;
}
