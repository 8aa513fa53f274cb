#include "crypto/cipher/core/Gost.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

#include <array>

namespace kd::cipher {
namespace {

// The eight 4-bit substitutions K1..K8 of the test parameter set; K1 acts on the lowest
// four bits of the word.
constexpr std::uint8_t kSubst[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
    {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
    {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
    {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
    {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

// Four byte tables, each two substitutions side by side with the 11-bit rotation of the
// round function already applied.
using Tables = std::array<std::array<std::uint32_t, 256>, 4>;

Tables buildTables() {
    Tables t{};
    for (int b = 0; b < 4; ++b)
        for (std::uint32_t x = 0; x < 256; ++x) {
            const std::uint32_t v = kSubst[2 * b][x & 15] | kSubst[2 * b + 1][x >> 4] << 4;
            t[b][x] = rotl32(v << (8 * b), 11);
        }
    return t;
}

const Tables& tables() {
    static const Tables t = buildTables();
    return t;
}

inline std::uint32_t round(const Tables& t, std::uint32_t x) {
    return t[0][x & 0xFF] ^ t[1][(x >> 8) & 0xFF] ^ t[2][(x >> 16) & 0xFF] ^ t[3][x >> 24];
}

} // namespace

void GostCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    std::uint8_t padded[32];
    const WipeOnExit wipe(padded);
    padKey(padded, sizeof padded, bytes, length);
    for (int i = 0; i < 8; ++i)
        key[i] = loadLE32(padded + 4 * i);
}

void GostCore::encrypt(std::uint8_t* block) const {
    const Tables& t = tables();
    std::uint32_t n1 = loadLE32(block), n2 = loadLE32(block + 4);
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i < 8; i += 2) {
            n2 ^= round(t, n1 + key[i]);
            n1 ^= round(t, n2 + key[i + 1]);
        }
    for (int i = 7; i > 0; i -= 2) {
        n2 ^= round(t, n1 + key[i]);
        n1 ^= round(t, n2 + key[i - 1]);
    }
    storeLE32(block, n2);
    storeLE32(block + 4, n1);
}

void GostCore::decrypt(std::uint8_t* block) const {
    const Tables& t = tables();
    std::uint32_t n1 = loadLE32(block), n2 = loadLE32(block + 4);
    for (int i = 0; i < 8; i += 2) {
        n2 ^= round(t, n1 + key[i]);
        n1 ^= round(t, n2 + key[i + 1]);
    }
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 7; i > 0; i -= 2) {
            n2 ^= round(t, n1 + key[i]);
            n1 ^= round(t, n2 + key[i - 1]);
        }
    storeLE32(block, n2);
    storeLE32(block + 4, n1);
}

} // namespace kd::cipher
