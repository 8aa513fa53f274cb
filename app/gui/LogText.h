#pragma once
#include <cstdint>
#include <string>

namespace kd {

// A log file as the log page and the log viewer show it.
struct LogText {
    std::string text;       // UTF-8
    bool truncated = false; // only the last part of a large log is in text
};

// Logs up to this size are shown whole.
inline constexpr std::uint64_t kLogViewLimit = 2 * 1024 * 1024;

// Reads a log for viewing: a larger one only by its last limit bytes, from its first
// whole line on. Read as UTF-8, or Windows-1250 when it is not valid UTF-8. Throws
// kd::Exception when the file cannot be read.
LogText readLogForView(const std::string& path, std::uint64_t limit = kLogViewLimit);

} // namespace kd
