// The main job's outputs: one CSV row per leaf, one JSON document per run, and a
// readable table per image for the terminal.
#pragma once

#include "leaf_job.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace leafkit {

struct AnalysedImage {
    ImageOutcome outcome;
    std::string overview;  // file name of its overview image in the output folder ("" when failed)
};

struct RunReport {
    std::vector<AnalysedImage> images;  // in input order
    std::optional<double> pixelSizeMm;  // adds millimetre columns beside the pixel ones
    std::string runDate;                // ISO 8601, UTC
};

// Header line and one row per leaf of every analysed image.
std::string leafCsv(const RunReport& report);

// {"toolkit", "version", "run_date", "pixel_size_mm", "images": [...]}; failed images
// carry their "error" instead of the measures.
nlohmann::ordered_json leafJson(const RunReport& report);

// A few lines: the image, its stem diameter and one aligned row per leaf.
std::string imageTable(const AnalysedImage& image, std::optional<double> pixelSizeMm);

// The current time as 2026-12-11T13:10:00Z.
std::string utcTimestamp();

}  // namespace leafkit
