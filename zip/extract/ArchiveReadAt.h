#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Stream.h"

namespace kd {

// Reads an archive open as fd (used, not taken) at a position kept here: each read is
// one pread, no seek or position query reaches the system, and several of these over
// one descriptor read independently. Read-only.
//
// A range read ahead (ReadAhead) serves the reads within it from memory, so that a
// small entry's header, extra field and data cost one pread together; a read running
// past it reads the rest from the archive.
class ArchiveReadAt : public Stream {
public:
    ArchiveReadAt(int fd, std::string shownName) : fd_(fd), shownName_(std::move(shownName)) {}

    int Fd() const { return fd_; }
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;

    // Reads up to length bytes at the position (fewer where the archive ends, or where
    // a read fails: Read tells that failure when it comes to it) into window, which
    // the caller keeps for reuse and which must outlive the reads of this stream; the
    // position stays. Replaces the range read ahead before.
    void ReadAhead(std::size_t length, std::vector<std::uint8_t>& window);

private:
    // Reads from the archive at the position, looping over short reads; EReadError.
    std::size_t readArchive(char* out, std::size_t count);
    // The same at offset, without moving; stops at a failure, with errno set.
    std::size_t readFrom(std::int64_t offset, char* out, std::size_t count, bool& failed) const;
    // Copies what the range read ahead holds at the position; returns the bytes copied.
    std::size_t readWindow(char* out, std::size_t count);

    int fd_;
    std::string shownName_;
    std::int64_t position_ = 0;
    const std::vector<std::uint8_t>* window_ = nullptr;
    std::int64_t windowStart_ = 0; // the archive offset of (*window_)[0]
};

} // namespace kd
