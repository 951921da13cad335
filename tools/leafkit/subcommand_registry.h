// Subcommands add themselves to the command line from their own source file, so a
// subcommand whose library is not built is simply absent.
#pragma once

#include <CLI/CLI.hpp>

#include <functional>
#include <string>
#include <vector>

namespace leafkit {

struct Subcommand {
    std::string name;
    std::string library;                    // the library it reaches ("" for none)
    std::function<void(CLI::App&)> attach;  // adds the subcommand, its options and its action
};

// Every registered subcommand, sorted by name.
const std::vector<Subcommand>& registeredSubcommands();

// Defined at namespace scope in a subcommand's source:
//   const RegisterSubcommand kSynth{{"synth", "", attachSynth}};
struct RegisterSubcommand {
    explicit RegisterSubcommand(Subcommand subcommand);
};

// The main job, callable from other subcommands (the demo). Null until the leaf
// extraction is built.
struct LeafJobRequest {
    std::vector<std::string> inputs;  // image files and folders
    std::string outDir;
    double pixelSizeMm = 0.0;         // 0: lengths in pixels only
    int jobs = 0;                     // 0: one worker per core
    bool alwaysTables = false;        // print the per-image tables even when stdout is no terminal
};
using LeafJob = int (*)(const LeafJobRequest&);
void registerLeafJob(LeafJob job);
LeafJob registeredLeafJob();

// Exit status of a run that failed for a reason it has already printed.
constexpr int kExitFailure = 1;

}  // namespace leafkit
