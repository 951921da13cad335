// What the subcommands share: their JSON report on stdout, the checks that several
// input images fit together, and path tests.
#pragma once

#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>

namespace leafkit {

inline void printReport(const nlohmann::ordered_json& report) { std::cout << report.dump(2) << '\n'; }

inline nlohmann::ordered_json pointJson(const cv::Point& p) { return {{"x", p.x}, {"y", p.y}}; }

// Throws unless `other` has the size of `first`; the names go into the message.
inline void requireSameSize(const cv::Mat& first, const std::string& firstName, const cv::Mat& other,
                            const std::string& otherName)
{
    if (first.size() != other.size())
        throw std::runtime_error(otherName + " is " + std::to_string(other.cols) + "x" + std::to_string(other.rows) +
                                 " but " + firstName + " is " + std::to_string(first.cols) + "x" +
                                 std::to_string(first.rows) + " (width x height)");
}

// True when path is folder or lies below it, compared as canonical paths.
inline bool liesBelow(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    std::error_code error;
    const std::filesystem::path relative = std::filesystem::relative(path, folder, error);
    return !error && !relative.empty() && *relative.begin() != "..";
}

// A 0/255 mask as the 0/1 mask that masktidy, cyancut and Blobspread take.
inline cv::Mat zeroOneMask(const cv::Mat& visibleMask) { return visibleMask / 255; }

}  // namespace leafkit
