#pragma once
// HAVAL with 128- to 256-bit digests and 3, 4 or 5 passes.
#include <cstdint>

#include "crypto/hash/Hash.h"
#include "crypto/hash/HashBlocks.h"
#include "crypto/hash/HavalTransform.h"

namespace kd {

class THash_Haval256 : public THash {
    KD_HASH_CLASS(THash_Haval256)
public:
    static constexpr std::size_t kBlockSize = 128;

    using THash::THash;
    ~THash_Haval256() override;

    void Init() override;
    void Update(const void* data, std::size_t size) override;
    void Final() override;
    std::uint8_t* Digest() override { return reinterpret_cast<std::uint8_t*>(chain_); }
    std::size_t DigestSize() const override { return 32; }
    std::string KnownAnswer() const override;

    // Read at Init: a count of 3, 4 or 5 is kept; any other becomes 3 for digests of up
    // to 160 bits, 4 up to 224 bits and 5 above.
    int Passes() const { return passes_; }
    void SetPasses(int passes) { passes_ = passes; }

private:
    std::uint32_t chain_[8] = {};
    HashBlocks<kBlockSize> blocks_;
    int passes_ = 0;
    haval::Compress compress_ = nullptr;
};

class THash_Haval224 : public THash_Haval256 {
    KD_HASH_CLASS(THash_Haval224)
public:
    using THash_Haval256::THash_Haval256;
    std::size_t DigestSize() const override { return 28; }
    std::string KnownAnswer() const override;
};

class THash_Haval192 : public THash_Haval256 {
    KD_HASH_CLASS(THash_Haval192)
public:
    using THash_Haval256::THash_Haval256;
    std::size_t DigestSize() const override { return 24; }
    std::string KnownAnswer() const override;
};

class THash_Haval160 : public THash_Haval256 {
    KD_HASH_CLASS(THash_Haval160)
public:
    using THash_Haval256::THash_Haval256;
    std::size_t DigestSize() const override { return 20; }
    std::string KnownAnswer() const override;
};

class THash_Haval128 : public THash_Haval256 {
    KD_HASH_CLASS(THash_Haval128)
public:
    using THash_Haval256::THash_Haval256;
    std::size_t DigestSize() const override { return 16; }
    std::string KnownAnswer() const override;
};

} // namespace kd
