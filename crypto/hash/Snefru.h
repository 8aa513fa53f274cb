#pragma once
// Snefru-256 on Merkle's compression with 8 passes and the standard S-boxes, with a
// finalisation of its own: the bit length shares the last message block when it fits.
#include <cstdint>

#include "crypto/hash/Hash.h"
#include "crypto/hash/HashBlocks.h"
#include "crypto/hash/SnefruTransform.h"

namespace kd {

class THash_Snefru : public THash {
    KD_HASH_CLASS(THash_Snefru)
public:
    static constexpr std::size_t kBlockSize = snefru::kBlockSize;

    using THash::THash;
    ~THash_Snefru() override;

    void Init() override;
    void Update(const void* data, std::size_t size) override;
    void Final() override;
    // The chaining value, which is the digest after Final.
    std::uint8_t* Digest() override { return digest_; }
    std::size_t DigestSize() const override { return snefru::kChainSize; }

private:
    std::uint8_t digest_[snefru::kChainSize] = {};
    HashBlocks<kBlockSize> blocks_;
};

} // namespace kd
