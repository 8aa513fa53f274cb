#pragma once
// Tiger (24-byte digest) on the MD4 family's state, with the 0x01 pad of its first
// definition and 3 to 32 passes.
#include "crypto/hash/MD4Family.h"

namespace kd {

class THash_Tiger : public THash_MD4 {
    KD_HASH_CLASS(THash_Tiger)
public:
    static constexpr int kMinPasses = 3;
    static constexpr int kMaxPasses = 32;

    using THash_MD4::THash_MD4;
    std::size_t DigestSize() const override { return 24; }
    std::string KnownAnswer() const override;

    // Read at Init: a count outside 3-32 becomes 3 there.
    int Passes() const { return passes_; }
    void SetPasses(int passes) { passes_ = passes; }
    void Init() override;

protected:
    void Transform(const std::uint8_t* block) override;
    void SetInitialState() override;
    std::uint8_t PadByte() const override { return 0x01; }

private:
    int passes_ = kMinPasses;
};

} // namespace kd
