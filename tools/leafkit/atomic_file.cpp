#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>
#include <string>

namespace leafkit {
namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kMaxTemporaryPath = 4096;

// The temporary file being written, readable from a signal handler: the handler
// may only look at plain memory and call async-signal-safe functions (unlink).
char pendingTemporary[kMaxTemporaryPath];
volatile std::sig_atomic_t hasPendingTemporary = 0;

void removePendingTemporaryAndDie(int signalNumber)
{
    if (hasPendingTemporary) unlink(pendingTemporary);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

[[noreturn]] void failWrite(const std::filesystem::path& path, const std::string& reason)
{
    throw std::runtime_error("cannot write " + path.string() + ": " + reason);
}

// Owns the temporary file from creation until it is renamed or removed.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& destination) : destination_(destination)
    {
        const auto folder = destination.has_parent_path() ? destination.parent_path() : std::filesystem::path(".");
        std::string name = (folder / ("." + destination.filename().string() + ".tmp-XXXXXX")).string();
        if (name.size() >= kMaxTemporaryPath) failWrite(destination, "path too long");
        hasPendingTemporary = 0;
        fd_ = mkstemp(name.data());
        if (fd_ < 0) failWrite(destination, std::strerror(errno));
        std::memcpy(pendingTemporary, name.c_str(), name.size() + 1);
        hasPendingTemporary = 1;
        path_ = name;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (fd_ >= 0) close(fd_);
        if (!path_.empty()) unlink(path_.c_str());
        hasPendingTemporary = 0;
    }

    void write(std::string_view bytes)
    {
        const char* next = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t written = ::write(fd_, next, left);
            if (written < 0 && errno == EINTR) continue;
            if (written < 0) failWrite(destination_, std::strerror(errno));
            next += written;
            left -= static_cast<std::size_t>(written);
        }
    }

    // Makes the contents durable, gives the file ordinary permissions (mkstemp
    // creates it private) and renames it over the destination.
    void commit()
    {
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd_, 0666 & ~mask) != 0 || fsync(fd_) != 0) failWrite(destination_, std::strerror(errno));
        const int closed = close(fd_);
        fd_ = -1;
        if (closed != 0) failWrite(destination_, std::strerror(errno));
        if (std::rename(path_.c_str(), destination_.c_str()) != 0) failWrite(destination_, std::strerror(errno));
        path_.clear();
        hasPendingTemporary = 0;
    }

private:
    std::filesystem::path destination_;
    std::string path_;
    int fd_ = -1;
};

}  // namespace

void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes)
{
    TemporaryFile file(path);
    file.write(bytes);
    file.commit();
}

void writeFileAtomically(const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

void installTemporaryFileCleanup()
{
    for (const int signalNumber : kCleanupSignals) std::signal(signalNumber, removePendingTemporaryAndDie);
}

}  // namespace leafkit
