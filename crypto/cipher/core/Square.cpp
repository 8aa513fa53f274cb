#include "crypto/cipher/core/Square.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Gf256.h"
#include "crypto/cipher/core/InverseSbox.h"
#include "crypto/cipher/core/Words.h"

#include <array>
#include <utility>

namespace kd::cipher {
namespace {

constexpr unsigned kPoly = kInverseSboxPoly;
constexpr int kRounds = 8;

struct Tables {
    const std::array<std::uint8_t, 256>& se = inverseSbox().forward;
    const std::array<std::uint8_t, 256>& sd = inverseSbox().backward;
    // theta multiplies each row by c(x) = 2 + x + x^2 + 3x^3 modulo x^4 + 1; the inverse
    // is the inverse circulant matrix.
    GfMatrix<4> theta{}, thetaInverse{};

    Tables() {
        constexpr std::uint8_t c[4] = {2, 1, 1, 3};
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                theta[static_cast<std::size_t>(j)][static_cast<std::size_t>(k)] =
                    c[(j - k + 4) % 4];
        thetaInverse = gfInvert(theta, kPoly);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

using State = std::uint8_t[16];

void mixRows(std::uint8_t* a, const GfMatrix<4>& m) {
    for (int row = 0; row < 4; ++row) {
        std::uint8_t* r = a + 4 * row;
        std::uint8_t out[4] = {};
        for (std::size_t j = 0; j < 4; ++j)
            for (std::size_t k = 0; k < 4; ++k)
                out[j] ^= gfMul(m[j][k], r[k], kPoly);
        for (int j = 0; j < 4; ++j)
            r[j] = out[j];
    }
}

void substitute(std::uint8_t* a, const std::array<std::uint8_t, 256>& s) {
    for (int i = 0; i < 16; ++i)
        a[i] = s[a[i]];
}

void transpose(std::uint8_t* a) {
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            std::swap(a[4 * i + j], a[4 * j + i]);
}

void addKey(std::uint8_t* a, const std::uint8_t* k) {
    for (int i = 0; i < 16; ++i)
        a[i] ^= k[i];
}

} // namespace

void SquareCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    padKey(encryptKeys[0], 16, bytes, length);
    // Key evolution: row 0 takes row 3 rotated by one byte and the round constant, each
    // following row the row before it.
    std::uint8_t constant = 1;
    for (int t = 1; t <= kRounds; ++t) {
        const std::uint8_t* p = encryptKeys[t - 1];
        std::uint8_t* k = encryptKeys[t];
        k[0] = p[0] ^ p[13] ^ constant;
        k[1] = p[1] ^ p[14];
        k[2] = p[2] ^ p[15];
        k[3] = p[3] ^ p[12];
        for (int i = 4; i < 16; ++i)
            k[i] = p[i] ^ k[i - 4];
        constant = gfMul(constant, 2, kPoly);
    }
    for (int t = 0; t <= kRounds; ++t)
        for (int i = 0; i < 16; ++i)
            decryptKeys[kRounds - t][i] = encryptKeys[t][i];
}

void SquareCore::encrypt(std::uint8_t* block) const {
    const Tables& t = tables();
    mixRows(block, t.thetaInverse);
    addKey(block, encryptKeys[0]);
    for (int r = 1; r <= kRounds; ++r) {
        mixRows(block, t.theta);
        substitute(block, t.se);
        transpose(block);
        addKey(block, encryptKeys[r]);
    }
}

void SquareCore::decrypt(std::uint8_t* block) const {
    const Tables& t = tables();
    for (int r = 0; r < kRounds; ++r) {
        addKey(block, decryptKeys[r]);
        transpose(block);
        substitute(block, t.sd);
        mixRows(block, t.thetaInverse);
    }
    addKey(block, decryptKeys[kRounds]);
    mixRows(block, t.theta);
}

} // namespace kd::cipher
