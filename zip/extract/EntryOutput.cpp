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
    buffer_.resize(kBlockSize);
}

void EntryOutput::Write(const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const std::size_t n = std::min(length, chunkStart_ + kChunkSize - pending_);
        std::memcpy(buffer_.data() + pending_, data, n);
        pending_ += n;
        data += n;
        length -= n;
        if (pending_ == chunkStart_ + kChunkSize) {
            endChunk();
            if (pending_ == kBlockSize)
                writeBlock();
        }
    }
}

void EntryOutput::Finish() {
    endChunk();
    writeBlock();
}

void EntryOutput::endChunk() {
    const std::size_t length = pending_ - chunkStart_;
    if (written_ + length > limit_)
        throw EBiggerThanUncompressed();
    crc_ = Crc32Update(crc_, buffer_.data() + chunkStart_, length);
    written_ += length;
    chunkStart_ = pending_;
    if (onFlushed_)
        onFlushed_(written_);
}

void EntryOutput::writeBlock() {
    for (std::size_t done = 0; done < pending_;) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, pending_ - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const char* why = n < 0 ? std::strerror(errno) : "nothing written";
            throw ECantWriteUCF(std::string(kMsgCantWriteUCF) + " " + shownName_ + " (" + why +
                                ")");
        }
        done += static_cast<std::size_t>(n);
    }
    pending_ = 0;
    chunkStart_ = 0;
}

} // namespace kd
