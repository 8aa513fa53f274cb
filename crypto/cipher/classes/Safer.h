#pragma once
// SAFER K and SK in their 40-, 64- and 128-bit forms, and TCipher_SAFER, which picks the
// strengthened form by key length.
#include "crypto/cipher/CipherWith.h"
#include "crypto/cipher/core/Safer.h"

namespace kd {

class TCipher_SAFER : public CipherWith<cipher::SaferCore> {
    KD_CIPHER_CLASS(TCipher_SAFER)
    static constexpr CipherContext kContext{8, 16, sizeof(cipher::SaferCore)};
    explicit TCipher_SAFER(std::shared_ptr<TProtection> protection = {})
        : TCipher_SAFER(std::move(protection), kContext) {}
    std::string KnownAnswer() const override { return "511E4D5D8D70B37E"; }

    // Read at Init; outside 4..13 the variant's default (5, 6 or 10) is used.
    int Rounds = 0;
    // The variant the last Init used.
    cipher::SaferVariant Variant() const { return variant_; }

protected:
    TCipher_SAFER(std::shared_ptr<TProtection> protection, const CipherContext& context,
                  cipher::SaferVariant fixed = cipher::SaferVariant::SK128, bool byLength = true)
        : CipherWith(std::move(protection), context), variant_(fixed), byLength_(byLength) {}

    void SetupKey(const std::uint8_t* key, std::size_t size) override {
        if (byLength_)
            variant_ = size <= 5   ? cipher::SaferVariant::SK40
                       : size <= 8 ? cipher::SaferVariant::SK64
                                   : cipher::SaferVariant::SK128;
        core_.setKey(key, size, variant_, Rounds);
    }

private:
    cipher::SaferVariant variant_;
    bool byLength_;
};

#define KD_SAFER_CLASS(Name, Parent, Variant, Key, Answer)                                         \
    class Name : public Parent {                                                                   \
        KD_CIPHER_CLASS(Name)                                                                      \
        static constexpr CipherContext kContext{8, Key, sizeof(cipher::SaferCore)};                \
        explicit Name(std::shared_ptr<TProtection> protection = {})                                \
            : Parent(std::move(protection), kContext, cipher::SaferVariant::Variant, false) {}     \
        std::string KnownAnswer() const override { return Answer; }                                \
                                                                                                   \
    protected:                                                                                     \
        using Parent::Parent;                                                                      \
    };

KD_SAFER_CLASS(TCipher_SAFER_K40, TCipher_SAFER, K40, 5, "D48D9D11B0894241")
KD_SAFER_CLASS(TCipher_SAFER_SK40, TCipher_SAFER_K40, SK40, 5, "7263855003C16565")
KD_SAFER_CLASS(TCipher_SAFER_K64, TCipher_SAFER, K64, 8, "533F0CD7CCC6DDF6")
KD_SAFER_CLASS(TCipher_SAFER_SK64, TCipher_SAFER_K64, SK64, 8, "CACE3665F201E048")
KD_SAFER_CLASS(TCipher_SAFER_K128, TCipher_SAFER, K128, 16, "4D791DB28D724E55")
KD_SAFER_CLASS(TCipher_SAFER_SK128, TCipher_SAFER_K128, SK128, 16, "511E4D5D8D70B37E")

#undef KD_SAFER_CLASS

} // namespace kd
