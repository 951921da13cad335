#include "progress_bar.h"

#include <cstdio>

namespace leafkit {
namespace {

constexpr int kBarWidth = 30;
constexpr const char* kClearLine = "\r\033[K";

std::string clockTime(double seconds)
{
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

}  // namespace

ProgressBar::ProgressBar(std::size_t total, bool enabled)
    : total_(total), enabled_(enabled && total > 0), start_(std::chrono::steady_clock::now())
{
}

void ProgressBar::advance()
{
    ++done_;
    draw();
}

void ProgressBar::clear()
{
    if (!shown_) return;
    std::fputs(kClearLine, stderr);
    shown_ = false;
}

void ProgressBar::draw()
{
    if (!enabled_) return;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = elapsed > 0 ? done_ / elapsed : 0.0;
    const int filled = static_cast<int>(kBarWidth * done_ / total_);
    const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '-');
    const std::string left = rate > 0 ? clockTime((total_ - done_) / rate) : "?";
    std::fprintf(stderr, "%s[%s] %zu/%zu  %.2f images/s  %s left", kClearLine, bar.c_str(), done_, total_, rate,
                 left.c_str());
    std::fflush(stderr);
    shown_ = true;
}

}  // namespace leafkit
