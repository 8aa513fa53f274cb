#pragma once
// SHA (the first version, without rotation in the message expansion) and SHA-1: the
// MD4 family's state (by way of RIPEMD-160, whose 20-byte digest they share) with
// big-endian words, length and digest.
#include "crypto/hash/RipeMD.h"

namespace kd {

class THash_SHA : public THash_RipeMD160 {
    KD_HASH_CLASS(THash_SHA)
public:
    using THash_RipeMD160::THash_RipeMD160;
    std::string KnownAnswer() const override;

protected:
    void Transform(const std::uint8_t* block) override;
    bool BigEndianLength() const override { return true; }
    // The five words in big-endian byte order, so the digest reads in standard order.
    void FinishDigest() override;
    void SetInitialState() override;

    // Rotate each new word of the message expansion left by 1 (SHA-1).
    bool rotateExpansion_ = false;
};

class THash_SHA1 : public THash_SHA {
    KD_HASH_CLASS(THash_SHA1)
public:
    using THash_SHA::THash_SHA;
    std::string KnownAnswer() const override;

protected:
    void SetInitialState() override;
};

} // namespace kd
