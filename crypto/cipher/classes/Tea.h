#pragma once
// TEA and its extended form.
#include "crypto/cipher/CipherWith.h"
#include "crypto/cipher/core/Tea.h"

namespace kd {

class TCipher_TEA : public CipherWith<cipher::TeaCore> {
    KD_CIPHER_CLASS(TCipher_TEA)
    static constexpr CipherContext kContext{8, 16, sizeof(cipher::TeaCore)};
    explicit TCipher_TEA(std::shared_ptr<TProtection> protection = {})
        : CipherWith(std::move(protection), kContext) {}
    std::string KnownAnswer() const override { return "5197DFCA3F652F37"; }

    // Cycles, read at Init and forced into 16..32.
    int Rounds = 16;

protected:
    TCipher_TEA(std::shared_ptr<TProtection> protection, bool extended)
        : CipherWith(std::move(protection), kContext), extended_(extended) {}
    void SetupKey(const std::uint8_t* key, std::size_t size) override {
        core_.setKey(key, size, Rounds, extended_);
    }

private:
    bool extended_ = false;
};

class TCipher_TEAN : public TCipher_TEA {
    KD_CIPHER_CLASS(TCipher_TEAN)
    explicit TCipher_TEAN(std::shared_ptr<TProtection> protection = {})
        : TCipher_TEA(std::move(protection), true) {}
    std::string KnownAnswer() const override { return "9CD06E54E754BD86"; }
};

} // namespace kd
