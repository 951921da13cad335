// A one-line progress bar on stderr: done/total, rate and time left.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace leafkit {

class ProgressBar {
public:
    // Shows nothing unless enabled (callers enable it for many images on a terminal).
    ProgressBar(std::size_t total, bool enabled);
    void advance();
    // Clears the bar so that other lines can be printed; the next advance redraws it.
    void clear();

private:
    void draw();
    std::size_t total_;
    std::size_t done_ = 0;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace leafkit
