#pragma once
// RIPEMD-128, -160, -256 and -320 on the MD4 family's state and padding.
#include "crypto/hash/MD4Family.h"

namespace kd {

class THash_RipeMD128 : public THash_MD4 {
    KD_HASH_CLASS(THash_RipeMD128)
public:
    using THash_MD4::THash_MD4;
    std::size_t DigestSize() const override { return 16; }
    std::string KnownAnswer() const override;

protected:
    void Transform(const std::uint8_t* block) override;
};

class THash_RipeMD160 : public THash_MD4 {
    KD_HASH_CLASS(THash_RipeMD160)
public:
    using THash_MD4::THash_MD4;
    std::size_t DigestSize() const override { return 20; }
    std::string KnownAnswer() const override;

protected:
    void Transform(const std::uint8_t* block) override;
};

class THash_RipeMD256 : public THash_MD4 {
    KD_HASH_CLASS(THash_RipeMD256)
public:
    using THash_MD4::THash_MD4;
    std::size_t DigestSize() const override { return 32; }
    std::string KnownAnswer() const override;

protected:
    void Transform(const std::uint8_t* block) override;
    // Words 4-7 start as the second line's own values.
    void SetInitialState() override;
};

class THash_RipeMD320 : public THash_MD4 {
    KD_HASH_CLASS(THash_RipeMD320)
public:
    using THash_MD4::THash_MD4;
    std::size_t DigestSize() const override { return 40; }
    std::string KnownAnswer() const override;

protected:
    void Transform(const std::uint8_t* block) override;
};

} // namespace kd
