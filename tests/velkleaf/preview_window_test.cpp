// The preview window on a virtual display: it opens, a key press closes it, and the
// image passed in is left as it was. Skipped where Xvfb or xdotool is missing.
#include "mask_art.h"
#include "skeleton/skeleton.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

// The display libraries under highgui keep a few allocations until exit; the leak
// checker of the sanitizer build reads these patterns and ignores them.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\nleak:libfontconfig.so\n";
}

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr const char* kXdotool = "/usr/bin/xdotool";

// A private X server for this process, stopped again by its process id.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {kXvfb, "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                              nullptr};
        if (posix_spawn(&pid_, kXvfb, nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
        close(fds[1]);
        char number[16] = {};
        if (pid_ != 0 && read(fds[0], number, sizeof number - 1) > 0)
            name_ = ":" + std::string(number, std::strcspn(number, "\n"));
        close(fds[0]);
    }
    ~VirtualDisplay() { stop(); }

    const std::string& name() const { return name_; }

    void stop()
    {
        if (pid_ == 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
    std::string name_;
};

TEST(DebugShow, KeyPressClosesTheWindowAndImageIsUnchanged)
{
    if (access(kXvfb, X_OK) != 0 || access(kXdotool, X_OK) != 0) GTEST_SKIP() << "needs Xvfb and xdotool";
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty());
    setenv("DISPLAY", display.name().c_str(), 1);

    // Presses a key once the window exists; a window that never appears fails the test
    // instead of leaving it waiting for a key.
    std::thread presser([&display] {
        if (std::system("timeout 30 xdotool search --sync --name '^dshow$' key --window %1 space") != 0) {
            std::fprintf(stderr, "no preview window to press a key in\n");
            display.stop();
            std::_Exit(1);
        }
    });
    const cv::Mat image = bandMask(400, 300, 100, 299, 50, 249);
    const cv::Mat before = image.clone();
    debugShow(image);
    presser.join();
    EXPECT_EQ(cv::countNonZero(image != before), 0);
    EXPECT_NE(std::system("xdotool search --onlyvisible --name '^dshow$' >/dev/null"), 0) << "the window is closed";
}

}  // namespace
