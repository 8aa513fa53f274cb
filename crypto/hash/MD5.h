#pragma once
// MD5: the MD4 family's state and padding with MD5's compression.
#include "crypto/hash/MD4Family.h"

namespace kd {

class THash_MD5 : public THash_MD4 {
    KD_HASH_CLASS(THash_MD5)
public:
    using THash_MD4::THash_MD4;
    std::string KnownAnswer() const override;

protected:
    void Transform(const std::uint8_t* block) override;
};

} // namespace kd
