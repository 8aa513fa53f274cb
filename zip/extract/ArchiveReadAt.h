#pragma once
#include <cstdint>
#include <string>

#include "platform/Stream.h"

namespace kd {

// Reads an archive open as fd (used, not taken) at a position kept here: each read is
// one pread, no seek or position query reaches the system, and several of these over
// one descriptor read independently. Read-only.
class ArchiveReadAt : public Stream {
public:
    ArchiveReadAt(int fd, std::string shownName) : fd_(fd), shownName_(std::move(shownName)) {}

    int Fd() const { return fd_; }
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;

private:
    int fd_;
    std::string shownName_;
    std::int64_t position_ = 0;
};

} // namespace kd
