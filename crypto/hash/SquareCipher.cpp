#include "crypto/hash/SquareCipher.h"

#include <cstring>

namespace kd::square {
namespace {

// Multiplication in GF(2^8) modulo x^8 + x^7 + x^6 + x^5 + x^4 + x^2 + 1.
constexpr std::uint8_t Multiply(unsigned a, unsigned b) {
    unsigned product = 0;
    for (; b != 0; b >>= 1) {
        if (b & 1)
            product ^= a;
        a <<= 1;
        if (a & 0x100)
            a ^= 0x1F5;
    }
    return static_cast<std::uint8_t>(product);
}

// S-box: the multiplicative inverse (0 for 0) followed by the affine map A x + 0xB1,
// A given by its columns (lower triangular).
constexpr std::array<std::uint8_t, 256> MakeSBox() {
    constexpr std::uint8_t columns[8] = {0x7F, 0xDA, 0xBC, 0x78, 0xF0, 0x60, 0xC0, 0x80};
    std::array<std::uint8_t, 256> box{};
    for (unsigned x = 0; x < 256; ++x) {
        unsigned inverse = 0;
        for (unsigned y = 1; x != 0 && y < 256; ++y)
            if (Multiply(x, y) == 1)
                inverse = y;
        unsigned out = 0xB1;
        for (int bit = 0; bit < 8; ++bit)
            if (inverse >> bit & 1)
                out ^= columns[bit];
        box[x] = static_cast<std::uint8_t>(out);
    }
    return box;
}
constexpr auto SBox = MakeSBox();

using Block = std::array<std::uint8_t, 16>;

// theta: each row, as a polynomial, times c(x) = 2 + x + x^2 + 3x^3 modulo 1 + x^4.
// theta^4 is the identity, so its inverse is three applications.
void Theta(Block& s) {
    constexpr std::uint8_t c[4] = {2, 1, 1, 3};
    for (int row = 0; row < 16; row += 4) {
        std::uint8_t in[4];
        std::memcpy(in, &s[static_cast<std::size_t>(row)], 4);
        for (int j = 0; j < 4; ++j) {
            std::uint8_t sum = 0;
            for (int k = 0; k < 4; ++k)
                sum ^= Multiply(c[(j - k + 4) % 4], in[k]);
            s[static_cast<std::size_t>(row + j)] = sum;
        }
    }
}

// gamma (the S-box on every byte) and pi (the transposition) in one step.
void GammaPi(Block& s) {
    Block t;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            t[static_cast<std::size_t>(4 * j + i)] = SBox[s[static_cast<std::size_t>(4 * i + j)]];
    s = t;
}

void AddKey(Block& s, const Block& key) {
    for (std::size_t i = 0; i < 16; ++i)
        s[i] ^= key[i];
}

} // namespace

SquareCipher::SquareCipher(const std::uint8_t* key) {
    // Row 0 takes row 3 rotated by one byte and the round constant 2^(t-1); each
    // further row adds the new row above it.
    std::memcpy(roundKeys_[0].data(), key, 16);
    std::uint8_t constant = 1;
    for (std::size_t t = 1; t < roundKeys_.size(); ++t) {
        const Block& p = roundKeys_[t - 1];
        Block& k = roundKeys_[t];
        for (int j = 0; j < 4; ++j)
            k[static_cast<std::size_t>(j)] =
                p[static_cast<std::size_t>(j)] ^ p[static_cast<std::size_t>(12 + (j + 1) % 4)];
        k[0] ^= constant;
        for (std::size_t i = 4; i < 16; ++i)
            k[i] = p[i] ^ k[i - 4];
        constant = Multiply(constant, 2);
    }
}

void SquareCipher::Encrypt(const std::uint8_t* in, std::uint8_t* out) const {
    Block s;
    std::memcpy(s.data(), in, 16);
    for (int i = 0; i < 3; ++i)
        Theta(s);
    AddKey(s, roundKeys_[0]);
    for (std::size_t t = 1; t < roundKeys_.size(); ++t) {
        Theta(s);
        GammaPi(s);
        AddKey(s, roundKeys_[t]);
    }
    std::memcpy(out, s.data(), 16);
}

} // namespace kd::square
