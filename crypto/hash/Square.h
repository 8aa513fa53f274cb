#pragma once
// A 128-bit hash on the Square block cipher: each 16-byte block is encrypted under the
// current digest as key, and the result XOR the block is the new digest.
#include <cstdint>

#include "crypto/cipher/core/Square.h"
#include "crypto/hash/Hash.h"
#include "crypto/hash/HashBlocks.h"

namespace kd {

class THash_Square : public THash {
    KD_HASH_CLASS(THash_Square)
public:
    static constexpr std::size_t kBlockSize = 16;

    using THash::THash;
    ~THash_Square() override;

    void Init() override;
    void Update(const void* data, std::size_t size) override;
    void Final() override;
    std::uint8_t* Digest() override { return digest_; }
    std::size_t DigestSize() const override { return 16; }

private:
    void Compress(const std::uint8_t* blocks, std::size_t count);

    std::uint8_t digest_[16] = {};
    HashBlocks<kBlockSize> blocks_;
    // Keyed anew with the digest for every block.
    cipher::SquareCore cipher_{};
};

} // namespace kd
