#include "zip/extract/ArchiveReadAt.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kd {

std::size_t ArchiveReadAt::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    const std::size_t copied = readWindow(out, count);
    return copied + readArchive(out + copied, count - copied);
}

std::size_t ArchiveReadAt::readWindow(char* out, std::size_t count) {
    if (!window_ || position_ < windowStart_)
        return 0;
    const auto at = static_cast<std::uint64_t>(position_ - windowStart_);
    if (at >= window_->size())
        return 0;
    const std::size_t n = std::min<std::size_t>(count, window_->size() - at);
    std::memcpy(out, window_->data() + at, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t ArchiveReadAt::readFrom(std::int64_t offset, char* out, std::size_t count,
                                    bool& failed) const {
    std::size_t done = 0;
    failed = false;
    while (done < count) {
        const ssize_t n = ::pread(fd_, out + done, count - done,
                                  static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        failed = n < 0;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t ArchiveReadAt::readArchive(char* out, std::size_t count) {
    bool failed = false;
    const std::size_t done = readFrom(position_, out, count, failed);
    position_ += static_cast<std::int64_t>(done);
    if (failed)
        throw EReadError("Read error in " + shownName_ + ": " + std::strerror(errno));
    return done;
}

void ArchiveReadAt::ReadAhead(std::size_t length, std::vector<std::uint8_t>& window) {
    bool failed = false;
    window.resize(length);
    window.resize(readFrom(position_, reinterpret_cast<char*>(window.data()), length, failed));
    window_ = &window;
    windowStart_ = position_;
}

std::size_t ArchiveReadAt::Write(const void*, std::size_t) {
    throw EStreamError("The archive " + shownName_ + " is open for reading only");
}

std::int64_t ArchiveReadAt::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t target = offset;
    if (origin == SeekOrigin::Current)
        target = position_ + offset;
    else if (origin == SeekOrigin::End)
        target = Size() + offset;
    if (target < 0)
        throw EStreamError("Seek before the start of " + shownName_);
    position_ = target;
    return position_;
}

std::int64_t ArchiveReadAt::Size() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw EStreamError("Cannot read the size of " + shownName_ + ": " + std::strerror(errno));
    return st.st_size;
}

} // namespace kd
