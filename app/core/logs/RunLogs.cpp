#include "app/core/logs/RunLogs.h"

#include "app/core/logs/RunMessages.h"
#include "lang/TResourceStrings.h"
#include "platform/DateText.h"
#include "platform/Exception.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <utility>

namespace kd {
namespace {

std::string text(int id) {
    return ResourceStrings.GetText(id);
}

std::string padLeft(std::string_view value, std::size_t width) {
    return value.size() >= width ? std::string(value)
                                 : std::string(width - value.size(), ' ') + std::string(value);
}

std::size_t utf8Length(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

// Lines gathered before they are written.
constexpr std::size_t kFlushBytes = 4096;

} // namespace

RunLogFile::~RunLogFile() {
    close();
}

RunLogFile& RunLogFile::operator=(RunLogFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::move(other.fd_);
        path_ = std::move(other.path_);
        pending_ = std::move(other.pending_);
        tried_ = other.tried_;
    }
    return *this;
}

void RunLogFile::open(const std::string& path, bool append) {
    close();
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    UniqueFd fd(::open(path.c_str(), flags, 0644));
    if (!fd)
        throw Exception("Cannot open the log " + path + ": " + std::strerror(errno));
    fd_ = std::move(fd);
    path_ = path;
    tried_ = false;
}

void RunLogFile::writeLine(std::string_view line) {
    if (!fd_)
        return;
    pending_ += line;
    pending_ += "\r\n";
    // The first line goes at once: a log that takes nothing ends the run there.
    if (pending_.size() >= kFlushBytes || !tried_)
        flush();
}

void RunLogFile::flush() {
    // Taken whatever happens: lines that did not go are not tried again.
    const std::string bytes = std::exchange(pending_, {});
    tried_ = tried_ || !bytes.empty();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Exception("Cannot write the log " + path_ + ": " +
                            (n < 0 ? std::strerror(errno) : "no room"));
        done += static_cast<std::size_t>(n);
    }
}

bool RunLogFile::close() {
    if (!fd_)
        return true;
    bool written = true;
    try {
        flush();
    } catch (const Exception&) {
        written = false;
    }
    return fd_.close() == 0 && written;
}

bool RunLogs::closeAll() {
    const bool profileClosed = ProfileLogFile.close();
    return ProtocolFile.close() && profileClosed;
}

namespace run_log {

std::string padRight(std::string_view value, std::size_t width) {
    const std::size_t length = utf8Length(value);
    std::string result(value);
    if (length < width)
        result.append(width - length, ' ');
    return result;
}

std::string headerLine(const std::string& profileName, TDateTime when) {
    return text(run_msg::HeaderBefore) + profileName + "\" " + formatShortDate(when) +
           text(run_msg::HeaderAt) + " " + formatTime(when);
}

std::string ruleLine() {
    return std::string(36, '-');
}

std::string storedFileLine(std::string_view name, std::uint64_t uncompressed,
                           std::uint64_t compressed, TDateTime modified) {
    return padRight(name, 40) + std::string(8, ' ') + padLeft(std::to_string(uncompressed), 10) +
           "   " + padLeft(std::to_string(compressed), 10) + "  " +
           padLeft(formatShortDate(modified), 10) + "  " + padLeft(formatTime(modified), 10);
}

std::string fileNotOpenedLine(std::string_view name) {
    return text(run_msg::NotOpenedBefore) + std::string(name) + text(run_msg::NotOpenedAfter);
}

std::string incompleteLine() {
    return text(run_msg::Unfinished);
}

std::string overwrittenFileLine(std::string_view name, TDateTime modified) {
    return padRight(name, 40) + std::string(8, ' ') + text(run_msg::OverwrittenBefore) + " " +
           padLeft(formatShortDate(modified), 10) + "  " + padLeft(formatTime(modified), 10);
}

std::string extractedFileLine(std::string_view name) {
    return extractedFileLine(name, text(run_msg::Extracted));
}

std::string extractedFileLine(std::string_view name, std::string_view verdict) {
    return padRight(name, 40) + std::string(7, ' ') + std::string(verdict);
}

std::string directoryLine(std::string_view directory, int messageAfter) {
    return text(run_msg::Directory) + std::string(directory) + text(messageAfter);
}

} // namespace run_log
} // namespace kd
