#pragma once
// The state shared by MD4, MD5, the RIPEMD hashes, SHA and Tiger: a byte counter, a
// 64-byte partial block and ten 32-bit chaining words whose first DigestSize bytes (in
// memory order) are the digest. Subclasses supply the compression (Transform) and, where
// they differ, the initial words, the pad byte, the length's byte order and a last step.
#include <cstdint>

#include "crypto/hash/Hash.h"

namespace kd {

class THash_MD4 : public THash {
    KD_HASH_CLASS(THash_MD4)
public:
    static constexpr std::size_t kBlockSize = 64;

    using THash::THash;
    ~THash_MD4() override;

    void Init() override;
    void Update(const void* data, std::size_t size) override;
    void Final() override;
    std::uint8_t* Digest() override { return reinterpret_cast<std::uint8_t*>(state_); }
    std::size_t DigestSize() const override { return 16; }
    std::string KnownAnswer() const override;

protected:
    // Compresses one 64-byte block into state_.
    virtual void Transform(const std::uint8_t* block);
    // Sets state_ to the initial chaining words (the ten RIPEMD-320 values by default).
    virtual void SetInitialState();
    // The byte that starts the padding.
    virtual std::uint8_t PadByte() const { return 0x80; }
    // Whether the bit length is stored big-endian (SHA) rather than little-endian.
    virtual bool BigEndianLength() const { return false; }
    // Runs after the last compression, before the buffer is cleared (SHA's byte order).
    virtual void FinishDigest() {}

    // The ten chaining words; Tiger keeps its three 64-bit words in the first six.
    alignas(8) std::uint32_t state_[10] = {};
    std::uint8_t buffer_[kBlockSize] = {};
    // Bytes fed since Init: 64 bits, so long messages keep their standard digests.
    std::uint64_t count_ = 0;
};

} // namespace kd
