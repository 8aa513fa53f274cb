#include "zip/extract/EntryInput.h"

#include <algorithm>

#include "zip/format/ZipCrypt.h"

namespace kd {

EntryInput::EntryInput(Stream& stream, std::uint32_t size, std::function<void()> beforeChunk,
                       NextVolume nextVolume)
    : stream_(&stream), remaining_(size), beforeChunk_(std::move(beforeChunk)),
      nextVolume_(std::move(nextVolume)) {}

std::size_t EntryInput::Read(std::uint8_t* buffer, std::size_t capacity) {
    const std::size_t wanted = std::min<std::size_t>({capacity, remaining_, kChunkSize});
    if (wanted == 0)
        return 0;
    if (beforeChunk_)
        beforeChunk_();
    std::size_t got = stream_->Read(buffer, wanted);
    while (got < wanted) {
        Stream* next = nextVolume_ ? nextVolume_() : nullptr;
        if (!next)
            break;
        stream_ = next;
        got += stream_->Read(buffer + got, wanted - got);
    }
    // Decoders read ahead: an archive ending before the stated size is the end of the
    // data for them, and matters only when the entry then fails its checks.
    if (got < wanted) {
        cutShort_ = true;
        remaining_ = static_cast<std::uint32_t>(got);
    }
    if (cipher_)
        cipher_->DecryptBuffer(buffer, got);
    remaining_ -= static_cast<std::uint32_t>(got);
    return got;
}

} // namespace kd
