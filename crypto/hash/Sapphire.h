#pragma once
// The Sapphire II stream cipher's state used as a hash, with digests of 16 to 40 bytes.
#include <cstdint>

#include "crypto/hash/Hash.h"
#include "crypto/hash/SapphireState.h"

namespace kd {

class THash_Sapphire320 : public THash {
    KD_HASH_CLASS(THash_Sapphire320)
public:
    using THash::THash;
    ~THash_Sapphire320() override;

    void Init() override;
    void Update(const void* data, std::size_t size) override;
    void Final() override;
    std::uint8_t* Digest() override { return digest_; }
    std::size_t DigestSize() const override { return 40; }

private:
    sapphire::SapphireState state_{};
    std::uint8_t digest_[40] = {};
    std::uint64_t count_ = 0;
};

// The shorter digests differ only in their size, which also enters the final mixing.
#define KD_SAPPHIRE_CLASS(Name, Size)                                                              \
    class Name : public THash_Sapphire320 {                                                        \
        KD_HASH_CLASS(Name)                                                                        \
    public:                                                                                        \
        using THash_Sapphire320::THash_Sapphire320;                                                \
        std::size_t DigestSize() const override { return Size; }                                   \
    };

KD_SAPPHIRE_CLASS(THash_Sapphire288, 36)
KD_SAPPHIRE_CLASS(THash_Sapphire256, 32)
KD_SAPPHIRE_CLASS(THash_Sapphire224, 28)
KD_SAPPHIRE_CLASS(THash_Sapphire192, 24)
KD_SAPPHIRE_CLASS(THash_Sapphire160, 20)
KD_SAPPHIRE_CLASS(THash_Sapphire128, 16)

#undef KD_SAPPHIRE_CLASS

} // namespace kd
