#pragma once
// The cipher classes whose whole work is their core: GOST, Blowfish, IDEA, Q128, 3-Way,
// Twofish, SHARK and Square.
#include "crypto/cipher/CipherWith.h"
#include "crypto/cipher/core/Blowfish.h"
#include "crypto/cipher/core/Gost.h"
#include "crypto/cipher/core/Idea.h"
#include "crypto/cipher/core/Q128.h"
#include "crypto/cipher/core/Shark.h"
#include "crypto/cipher/core/Square.h"
#include "crypto/cipher/core/ThreeWay.h"
#include "crypto/cipher/core/Twofish.h"

namespace kd {

#define KD_SIMPLE_CIPHER(Name, Core, Block, Key, Answer)                                           \
    class Name : public CipherWith<cipher::Core> {                                                 \
        KD_CIPHER_CLASS(Name)                                                                      \
        static constexpr CipherContext kContext{Block, Key, sizeof(cipher::Core)};                 \
        explicit Name(std::shared_ptr<TProtection> protection = {})                                \
            : CipherWith(std::move(protection), kContext) {}                                       \
        std::string KnownAnswer() const override { return Answer; }                                \
    };

KD_SIMPLE_CIPHER(TCipher_Gost, GostCore, 8, 32, "D48F98745D38B9D2")
KD_SIMPLE_CIPHER(TCipher_IDEA, IdeaCore, 8, 16, "864C9D7D208A0E65")
KD_SIMPLE_CIPHER(TCipher_Q128, Q128Core, 16, 16, "C094E4823E4CB0BF6BDEFE86D8C56B26")
KD_SIMPLE_CIPHER(TCipher_3Way, ThreeWayCore, 12, 12, "AAA00A4FCF4CC2E8E01677B2")
KD_SIMPLE_CIPHER(TCipher_Twofish, TwofishCore, 16, 32, "8EF0272C42DB838BCF7B07AF0EC30F38")

KD_SIMPLE_CIPHER(TCipher_Shark, SharkCore, 8, 16, "E49ACBDADBD06CDB")
KD_SIMPLE_CIPHER(TCipher_Square, SquareCore, 16, 16, "7C3491D94994E70F0EC2E7A5CCB5A14F")

#undef KD_SIMPLE_CIPHER

// Blowfish cycles the key over its P-array, so an empty key has no schedule: refused.
class TCipher_Blowfish : public CipherWith<cipher::BlowfishCore> {
    KD_CIPHER_CLASS(TCipher_Blowfish)
    static constexpr CipherContext kContext{8, 56, sizeof(cipher::BlowfishCore)};
    explicit TCipher_Blowfish(std::shared_ptr<TProtection> protection = {})
        : CipherWith(std::move(protection), kContext) {}
    std::string KnownAnswer() const override { return "373C66BBA50EB9CC"; }

protected:
    void SetupKey(const std::uint8_t* key, std::size_t size) override {
        if (size == 0)
            keySizeError(1);
        core_.setKey(key, size);
    }
};

} // namespace kd
