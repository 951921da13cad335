// The only file velkleaf writes. Elsewhere than on Windows it lives in a shared temporary
// directory, so it is opened without following a link another user may have planted.
#include "platform/diagnostic_file.h"

#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <system_error>
#include <vector>

#if !defined(_WIN32)
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kDiagnosticFileName = "aa.bmp";

void writeAll(int fd, const std::vector<unsigned char>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace
#endif

std::string diagnosticImagePath()
{
#if defined(_WIN32)
    return "d:\\aa.bmp";
#else
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::temp_directory_path(error);
    if (error) return {};
    return (directory / kDiagnosticFileName).string();
#endif
}

void writeDiagnosticImage(const cv::Mat& image)
{
    const std::string path = diagnosticImagePath();
    if (path.empty()) return;
#if defined(_WIN32)
    cv::imwrite(path, image, std::vector<int>());
#else
    std::vector<unsigned char> bytes;
    if (!cv::imencode(".bmp", image, bytes, std::vector<int>())) return;
    constexpr mode_t kFileMode = 0644;
    // Non-blocking, so that a named pipe planted at the path fails to open instead of
    // waiting for a reader; only a regular file is written.
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, kFileMode);
    if (fd < 0) return;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) writeAll(fd, bytes);
    ::close(fd);
#endif
}
