#include "crypto/cipher/core/Square.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Gf256.h"
#include "crypto/cipher/core/InverseSbox.h"
#include "crypto/cipher/core/Words.h"

#include <array>

namespace kd::cipher {
namespace {

constexpr unsigned kPoly = kInverseSboxPoly;
constexpr int kRounds = 8;

using Row = std::uint32_t;
using RoundTables = std::array<std::array<Row, 256>, 4>;

// The rounds written as x -> theta(pi(gamma(x))) xor key: byte i of row j after the
// transposition is byte j of row i before it, so row j of the result is the XOR over i
// of table[i][byte j of row i], table[i][x] holding theta's column i times the S-box
// value of x.
struct Tables {
    RoundTables encrypt{}, decrypt{};
    std::array<std::uint8_t, 256> sbox{}, inverse{};

    Tables() : sbox(inverseSbox().forward), inverse(inverseSbox().backward) {
        // theta multiplies each row by c(x) = 2 + x + x^2 + 3x^3 modulo x^4 + 1; its
        // inverse is the inverse circulant matrix.
        constexpr std::uint8_t c[4] = {2, 1, 1, 3};
        GfMatrix<4> theta{};
        for (std::size_t j = 0; j < 4; ++j)
            for (std::size_t k = 0; k < 4; ++k)
                theta[j][k] = c[(j - k + 4) % 4];
        encrypt = gfColumnTables<Row>(theta, sbox, kPoly);
        decrypt = gfColumnTables<Row>(gfInvert(theta, kPoly), inverse, kPoly);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

// Every byte of a row doubled in the field.
Row doubled(Row a) {
    return (a & 0x7F7F7F7Fu) << 1 ^ ((a >> 7) & 0x01010101u) * (kPoly & 0xFF);
}

// theta on one row: byte m becomes 2a[m] + a[m-1] + a[m-2] + 3a[m-3].
Row theta(Row a) {
    const Row twice = doubled(a);
    return twice ^ rotl32(a, 8) ^ rotl32(a, 16) ^ rotl32(a, 24) ^ rotl32(twice, 24);
}

std::uint8_t byteAt(Row r, int j) {
    return static_cast<std::uint8_t>(r >> (8 * j));
}

// Both directions: the first key, seven table rounds, and a last round of the S-box and
// the transposition alone.
void crypt(std::uint8_t* block, const std::uint32_t (*keys)[4], const RoundTables& t,
           const std::array<std::uint8_t, 256>& s) {
    Row a[4];
    for (int i = 0; i < 4; ++i)
        a[i] = loadLE32(block + 4 * i) ^ keys[0][i];
    for (int r = 1; r < kRounds; ++r) {
        Row b[4];
        for (int j = 0; j < 4; ++j)
            b[j] = t[0][byteAt(a[0], j)] ^ t[1][byteAt(a[1], j)] ^ t[2][byteAt(a[2], j)] ^
                   t[3][byteAt(a[3], j)] ^ keys[r][j];
        for (int j = 0; j < 4; ++j)
            a[j] = b[j];
    }
    for (int j = 0; j < 4; ++j) {
        const Row out = Row{s[byteAt(a[0], j)]} | Row{s[byteAt(a[1], j)]} << 8 |
                        Row{s[byteAt(a[2], j)]} << 16 | Row{s[byteAt(a[3], j)]} << 24;
        storeLE32(block + 4 * j, out ^ keys[kRounds][j]);
    }
}

} // namespace

// Square is theta^-1, key 0, then eight rounds of theta, gamma, pi and a key. Moving
// each theta behind the key before it turns the first key and keys 1-7 into their theta
// images; decryption runs the same shape with the inverse tables, keys 8 down to 1 as
// they are and theta of key 0 last.
void SquareCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    std::uint8_t padded[16];
    Row k[4];
    const WipeOnExit wipePadded(padded);
    const WipeOnExit wipeRows(k);
    padKey(padded, sizeof padded, bytes, length);
    for (int i = 0; i < 4; ++i)
        k[i] = loadLE32(padded + 4 * i);
    Row constant = 1;
    for (int t = 0; t <= kRounds; ++t) {
        if (t > 0) {
            // Key evolution: row 0 takes row 3 rotated by one byte and the round
            // constant, each following row the new row before it.
            k[0] ^= rotr32(k[3], 8) ^ constant;
            for (int i = 1; i < 4; ++i)
                k[i] ^= k[i - 1];
            constant = doubled(constant);
        }
        for (int i = 0; i < 4; ++i) {
            encryptKeys[t][i] = t < kRounds ? theta(k[i]) : k[i];
            decryptKeys[kRounds - t][i] = t > 0 ? k[i] : theta(k[i]);
        }
    }
}

void SquareCore::encrypt(std::uint8_t* block) const {
    crypt(block, encryptKeys, tables().encrypt, tables().sbox);
}

void SquareCore::decrypt(std::uint8_t* block) const {
    crypt(block, decryptKeys, tables().decrypt, tables().inverse);
}

} // namespace kd::cipher
