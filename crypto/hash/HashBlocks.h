#pragma once
// The partial-block buffer and 64-bit byte counter of the block hashes outside the MD4
// family (HAVAL, Snefru, Square): whole blocks go to the compression straight from the
// caller's data, only a partial block is copied.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "crypto/base/Bits.h"

namespace kd {

template <std::size_t BlockSize> class HashBlocks {
public:
    HashBlocks() = default;
    HashBlocks(const HashBlocks&) = delete;
    HashBlocks& operator=(const HashBlocks&) = delete;
    ~HashBlocks() { SecureZero(buffer_, sizeof buffer_); }

    void Reset() {
        ClearBuffer();
        count_ = 0;
    }
    void ClearBuffer() { std::memset(buffer_, 0, sizeof buffer_); }

    std::uint64_t Count() const { return count_; }
    std::size_t Pending() const { return static_cast<std::size_t>(count_ % BlockSize); }

    // compress(blocks, n) compresses n whole blocks.
    template <class Compress> void Feed(const void* data, std::size_t size, Compress&& compress) {
        if (!data || size == 0)
            return;
        auto* p = static_cast<const std::uint8_t*>(data);
        const std::size_t pending = Pending();
        count_ += size;
        if (pending != 0) {
            const std::size_t take = size < BlockSize - pending ? size : BlockSize - pending;
            std::memcpy(buffer_ + pending, p, take);
            if (pending + take < BlockSize)
                return;
            compress(buffer_, 1);
            p += take;
            size -= take;
        }
        if (size >= BlockSize)
            compress(p, size / BlockSize);
        std::memcpy(buffer_, p + size / BlockSize * BlockSize, size % BlockSize);
    }

    // Writes `pad` after the pending bytes and zeros the rest of the block; when fewer
    // than `tail` bytes remain after the pad, that block is compressed first and a zero
    // block started. Returns the last block, whose final `tail` bytes the caller fills
    // before compressing it and clearing the buffer.
    template <class Compress>
    std::uint8_t* Close(std::uint8_t pad, std::size_t tail, Compress&& compress) {
        const std::size_t pending = Pending();
        buffer_[pending] = pad;
        std::memset(buffer_ + pending + 1, 0, BlockSize - pending - 1);
        if (pending + 1 > BlockSize - tail) {
            compress(buffer_, 1);
            std::memset(buffer_, 0, BlockSize);
        }
        return buffer_;
    }

private:
    std::uint8_t buffer_[BlockSize] = {};
    // 64 bits, so long messages keep their standard digests.
    std::uint64_t count_ = 0;
};

} // namespace kd
