// Output files appear whole or not at all: bytes go to a temporary file in the
// destination folder, which is renamed over the destination once complete.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace leafkit {

// Writes bytes to path atomically. Throws std::runtime_error naming the path and the
// reason; the destination is then untouched and no temporary file remains.
void writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);
void writeFileAtomically(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);

// On SIGINT, SIGTERM and SIGHUP the temporary file being written (if any) is removed
// before the process ends with that signal. Call once, early in main.
void installTemporaryFileCleanup();

}  // namespace leafkit
