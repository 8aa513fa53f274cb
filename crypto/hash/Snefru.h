#pragma once
// Snefru-256. Its S-boxes are Merkle's published tables, which no procedure generates
// and which this build does not carry: the class is registered, reports its sizes, and
// refuses to hash with EHashNotAvailable.
#include <cstdint>

#include "crypto/hash/Hash.h"

namespace kd {

class EHashNotAvailable : public Exception {
public:
    using Exception::Exception;
};

class THash_Snefru : public THash {
    KD_HASH_CLASS(THash_Snefru)
public:
    static constexpr std::size_t kBlockSize = 32;

    using THash::THash;

    // Each raises EHashNotAvailable.
    void Init() override;
    void Update(const void* data, std::size_t size) override;
    void Final() override;
    std::uint8_t* Digest() override { return digest_; }
    std::size_t DigestSize() const override { return 32; }

private:
    std::uint8_t digest_[32] = {};
};

} // namespace kd
