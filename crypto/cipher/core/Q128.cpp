#include "crypto/cipher/core/Q128.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

#include <array>

namespace kd::cipher {
namespace {

using Table = std::array<std::uint32_t, 1024>;

// The table T is our own choice: the high halves of 1024 successive outputs of the
// SplitMix64 generator seeded with the first 64 fraction bits of pi
// (0x243F6A8885A308D3), so that nothing in it is hand-picked.
Table buildTable() {
    Table t{};
    std::uint64_t state = 0x243F6A8885A308D3ull;
    for (auto& entry : t) {
        state += 0x9E3779B97F4A7C15ull;
        std::uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        entry = static_cast<std::uint32_t>(z >> 32);
    }
    return t;
}

const Table& table() {
    static const Table t = buildTable();
    return t;
}

inline std::uint32_t T(const Table& t, std::uint32_t x) {
    return t[x & 0x3FF];
}

} // namespace

void Q128Core::setKey(const std::uint8_t* bytes, std::size_t length) {
    const Table& t = table();
    std::uint8_t padded[16];
    const WipeOnExit wipe(padded);
    padKey(padded, sizeof padded, bytes, length);
    std::uint32_t k0 = loadLE32(padded), k1 = loadLE32(padded + 4), k2 = loadLE32(padded + 8),
                  k3 = loadLE32(padded + 12);
    for (int i = 0; i < 19; ++i) {
        k1 ^= T(t, k0);
        k2 ^= T(t, k1);
        k3 ^= T(t, k2);
        k0 = rotr32(k0, 10) ^ T(t, k3);
        k1 = rotr32(k1, 10);
        k2 = rotr32(k2, 10);
        k3 = rotr32(k3, 10);
        if (i >= 3) {
            std::uint32_t* r = roundKeys[i - 3];
            r[0] = k0, r[1] = k1, r[2] = k2, r[3] = k3;
        }
    }
}

void Q128Core::encrypt(std::uint8_t* block) const {
    const Table& t = table();
    std::uint32_t w0 = loadLE32(block), w1 = loadLE32(block + 4), w2 = loadLE32(block + 8),
                  w3 = loadLE32(block + 12);
    for (const auto& r : roundKeys) {
        w1 ^= T(t, w0) + r[0];
        w2 ^= T(t, w1) + r[1];
        w3 ^= T(t, w2) + r[2];
        w0 = rotl32(w0, 10) ^ (T(t, w3) + r[3]);
        w1 = rotl32(w1, 10);
        w2 = rotl32(w2, 10);
        w3 = rotl32(w3, 10);
    }
    storeLE32(block, w0);
    storeLE32(block + 4, w1);
    storeLE32(block + 8, w2);
    storeLE32(block + 12, w3);
}

void Q128Core::decrypt(std::uint8_t* block) const {
    const Table& t = table();
    std::uint32_t w0 = loadLE32(block), w1 = loadLE32(block + 4), w2 = loadLE32(block + 8),
                  w3 = loadLE32(block + 12);
    for (int i = 15; i >= 0; --i) {
        const std::uint32_t* r = roundKeys[i];
        w3 = rotr32(w3, 10);
        w2 = rotr32(w2, 10);
        w1 = rotr32(w1, 10);
        w0 = rotr32(w0 ^ (T(t, w3) + r[3]), 10);
        w3 ^= T(t, w2) + r[2];
        w2 ^= T(t, w1) + r[1];
        w1 ^= T(t, w0) + r[0];
    }
    storeLE32(block, w0);
    storeLE32(block + 4, w1);
    storeLE32(block + 8, w2);
    storeLE32(block + 12, w3);
}

} // namespace kd::cipher
