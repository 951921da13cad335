#include "leaf_report.h"

#include <charconv>
#include <ctime>
#include <iomanip>
#include <sstream>

namespace leafkit {
namespace {

using Json = nlohmann::ordered_json;

// The shortest text that reads back as the same double, so CSV and JSON agree to the bit.
std::string exact(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// RFC 4180: a field with a comma, quote or line break is quoted, quotes doubled.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}


// Cells of a length in pixels and, with a pixel size, in millimetres beside it.
void appendLength(std::string& row, std::optional<double> pixels, std::optional<double> pixelSizeMm)
{
    row += ',' + (pixels ? exact(*pixels) : std::string());
    if (pixelSizeMm) row += ',' + (pixels ? exact(*pixels * *pixelSizeMm) : std::string());
}

void putLength(Json& object, const std::string& name, std::optional<double> pixels, std::optional<double> pixelSizeMm)
{
    object[name + "_px"] = pixels ? Json(*pixels) : Json();
    if (pixelSizeMm) object[name + "_mm"] = pixels ? Json(*pixels * *pixelSizeMm) : Json();
}

Json leafJsonEntry(const LeafRecord& leaf, std::optional<double> pixelSizeMm)
{
    Json entry = {{"leaf", leaf.number}, {"traced", leaf.traced}};
    const auto known = [&](double value) { return leaf.traced ? std::optional<double>(value) : std::nullopt; };
    entry["tip"] = leaf.traced ? Json{{"x", leaf.tip.x}, {"y", leaf.tip.y}} : Json();
    entry["base"] = leaf.traced ? Json{{"x", leaf.base.x}, {"y", leaf.base.y}} : Json();
    entry["base_angle_deg"] = leaf.traced ? Json(leaf.baseAngle) : Json();
    entry["chord_angle_deg"] = leaf.traced ? Json(leaf.chordAngle) : Json();
    putLength(entry, "leaf_length", known(leaf.leafLength), pixelSizeMm);
    putLength(entry, "chord_length", known(leaf.chordLength), pixelSizeMm);
    return entry;
}

Json imageJsonEntry(const AnalysedImage& image, std::optional<double> pixelSizeMm)
{
    const ImageOutcome& o = image.outcome;
    Json entry = {{"input", o.input}};
    if (!o.error.empty()) {
        entry["error"] = o.error;
        return entry;
    }
    entry["rows"] = o.rows;
    entry["cols"] = o.cols;
    entry["overview"] = image.overview;
    entry["leaf_count"] = o.leaves.size();
    putLength(entry, "stem_diameter", o.stemDiameter, pixelSizeMm);
    Json leaves = Json::array();
    for (const LeafRecord& leaf : o.leaves) leaves.push_back(leafJsonEntry(leaf, pixelSizeMm));
    entry["leaves"] = leaves;
    return entry;
}

std::string fixed(double value, int decimals)
{
    std::ostringstream out;
    out << std::fixed << std::setprecision(decimals) << value;
    return out.str();
}

}  // namespace

std::string leafCsv(const RunReport& report)
{
    std::string csv = "image,leaf,tip_x,tip_y,base_x,base_y,base_angle_deg,chord_angle_deg";
    for (const char* length : {"leaf_length", "chord_length", "stem_diameter"}) {
        csv += std::string(",") + length + "_px";
        if (report.pixelSizeMm) csv += std::string(",") + length + "_mm";
    }
    csv += '\n';
    for (const AnalysedImage& image : report.images) {
        const ImageOutcome& o = image.outcome;
        if (!o.error.empty()) continue;
        for (const LeafRecord& leaf : o.leaves) {
            std::string row = csvField(o.input) + ',' + std::to_string(leaf.number);
            if (leaf.traced)
                row += ',' + std::to_string(leaf.tip.x) + ',' + std::to_string(leaf.tip.y) + ',' +
                       std::to_string(leaf.base.x) + ',' + std::to_string(leaf.base.y) + ',' + exact(leaf.baseAngle) +
                       ',' + exact(leaf.chordAngle);
            else
                row += ",,,,,,";
            const auto known = [&](double v) { return leaf.traced ? std::optional<double>(v) : std::nullopt; };
            appendLength(row, known(leaf.leafLength), report.pixelSizeMm);
            appendLength(row, known(leaf.chordLength), report.pixelSizeMm);
            appendLength(row, o.stemDiameter, report.pixelSizeMm);
            csv += row + '\n';
        }
    }
    return csv;
}

Json leafJson(const RunReport& report)
{
    Json images = Json::array();
    for (const AnalysedImage& image : report.images) images.push_back(imageJsonEntry(image, report.pixelSizeMm));
    return {{"toolkit", "leafkit"},
            {"version", LEAFKIT_VERSION},
            {"run_date", report.runDate},
            {"pixel_size_mm", report.pixelSizeMm ? Json(*report.pixelSizeMm) : Json()},
            {"images", images}};
}

std::string imageTable(const AnalysedImage& image, std::optional<double> pixelSizeMm)
{
    const ImageOutcome& o = image.outcome;
    std::ostringstream out;
    out << o.input << "  (" << o.cols << " x " << o.rows << " px)  " << o.leaves.size() << " leaves, stem diameter ";
    out << (o.stemDiameter ? fixed(*o.stemDiameter, 1) + " px" : std::string("-"));
    if (o.stemDiameter && pixelSizeMm) out << " = " << fixed(*o.stemDiameter * *pixelSizeMm, 1) << " mm";
    out << "\n  leaf   tip (x, y)    base (x, y)   base angle  chord angle  leaf length  chord length\n";
    for (const LeafRecord& leaf : o.leaves) {
        out << std::setw(6) << leaf.number;
        if (!leaf.traced) {
            out << "   no path to the stem found\n";
            continue;
        }
        const auto point = [](const cv::Point& p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; };
        const auto length = [&](double px) {
            return pixelSizeMm ? fixed(px * *pixelSizeMm, 1) + " mm" : fixed(px, 1) + " px";
        };
        out << std::setw(14) << point(leaf.tip) << std::setw(15) << point(leaf.base) << std::setw(11)
            << fixed(leaf.baseAngle, 1) << "°" << std::setw(12) << fixed(leaf.chordAngle, 1) << "°" << std::setw(13)
            << length(leaf.leafLength) << std::setw(14) << length(leaf.chordLength) << '\n';
    }
    out << "  overview: " << image.overview << '\n';
    return out.str();
}

std::string utcTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

}  // namespace leafkit
