#include "zip/extract/EntryOutput.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "zip/format/Crc32.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

EntryOutput::EntryOutput(std::vector<std::uint8_t>& buffer, int fd, std::string shownName,
                         std::uint64_t limit, std::function<void(std::uint64_t)> onFlushed)
    : buffer_(buffer), fd_(fd), shownName_(std::move(shownName)), limit_(limit),
      onFlushed_(std::move(onFlushed)) {
    buffer_.resize(kChunkSize);
}

void EntryOutput::Write(const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        if (pending_ == 0 && length >= kChunkSize) {
            flush(data, kChunkSize); // whole chunks skip the copy
            data += kChunkSize;
            length -= kChunkSize;
            continue;
        }
        const std::size_t n = std::min(length, kChunkSize - pending_);
        std::memcpy(buffer_.data() + pending_, data, n);
        pending_ += n;
        data += n;
        length -= n;
        if (pending_ == kChunkSize) {
            pending_ = 0;
            flush(buffer_.data(), kChunkSize);
        }
    }
}

void EntryOutput::Finish() {
    const std::size_t n = std::exchange(pending_, 0);
    flush(buffer_.data(), n);
}

void EntryOutput::flush(const std::uint8_t* data, std::size_t length) {
    if (written_ + length > limit_)
        throw EBiggerThanUncompressed();
    for (std::size_t done = 0; done < length;) {
        const ssize_t n = ::write(fd_, data + done, length - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const char* why = n < 0 ? std::strerror(errno) : "nothing written";
            throw ECantWriteUCF(std::string(kMsgCantWriteUCF) + " " + shownName_ + " (" + why +
                                ")");
        }
        done += static_cast<std::size_t>(n);
    }
    crc_ = Crc32Update(crc_, data, length);
    written_ += length;
    if (onFlushed_)
        onFlushed_(written_);
}

} // namespace kd
