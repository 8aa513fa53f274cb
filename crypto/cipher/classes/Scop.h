#pragma once
// SCOP: a keystream on 128-byte blocks whose generator state moves with every block and
// is restored by ResetFeedback, so every run starts the same keystream.
#include "crypto/cipher/CipherWith.h"
#include "crypto/cipher/core/Scop.h"

namespace kd {

class TCipher_SCOP : public CipherWith<cipher::ScopCore> {
    KD_CIPHER_CLASS(TCipher_SCOP)
    static constexpr CipherContext kContext{128, 48, sizeof(cipher::ScopCore)};
    explicit TCipher_SCOP(std::shared_ptr<TProtection> protection = {})
        : CipherWith(std::move(protection), kContext) {}
    std::string KnownAnswer() const override {
        return "ADBD091552642DE6E6689C72B16819E2BDD19E704BC2A1DBA7D5D1CE3DDE47121EE2F6AD42872256341"
               "0925B4217BA3C0DF6150E74A796B75655FD748CD1DFA617063EFA8F29B02B135CE06BC1B90CC6E305ED"
               "E89E0AAF0A3C0B9F46BED1079397094FA00C7D34C8B336F015273E5785B984A40EE24EA7F7DE2A489AE"
               "8ADDE9A";
    }

    void Init(const void* key, int size, const void* iv = nullptr) override {
        TCipher::Init(key, size, iv);
        core_.save();
    }
    void ResetFeedback() override {
        TCipher::ResetFeedback();
        core_.restore();
    }
};

} // namespace kd
