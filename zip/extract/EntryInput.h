#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/Stream.h"
#include "zip/decompress/DecompressIO.h"

namespace kd {

class ZipCrypt;

// An entry's compressed bytes as the decoders read them: at most `size` bytes from
// the archive stream, in chunks of at most 32768 bytes, continued on the next volume
// of a set when a volume ends, and decrypted chunk by chunk once a cipher is set.
// Before each chunk it calls beforeChunk (message draining and cancel).
class EntryInput : public DecompressInput {
public:
    static constexpr std::size_t kChunkSize = 32768;
    // The stream of the next volume; null when the archive has no further one.
    using NextVolume = std::function<Stream*()>;

    EntryInput(Stream& stream, std::uint32_t size, std::function<void()> beforeChunk,
               NextVolume nextVolume);

    // Decrypts everything read from now on with cipher (which must outlive the input).
    void SetCipher(ZipCrypt* cipher) { cipher_ = cipher; }
    std::uint64_t Remaining() const override { return remaining_; }

    // Returns 0 at the end of the entry's data, and also where the archive ends before
    // it (CutShort() tells).
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override;
    // The archive ended before the entry's stated compressed size.
    bool CutShort() const { return cutShort_; }

private:
    Stream* stream_;
    std::uint32_t remaining_;
    std::function<void()> beforeChunk_;
    NextVolume nextVolume_;
    ZipCrypt* cipher_ = nullptr;
    bool cutShort_ = false;
};

} // namespace kd
