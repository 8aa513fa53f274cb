#include "crypto/cipher/core/Safer.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

#include <cstring>

namespace kd::cipher {
namespace {

inline std::uint8_t rotl8(std::uint8_t x, int n) {
    return static_cast<std::uint8_t>(x << n | x >> (8 - n));
}

// The pseudo-Hadamard transform on two bytes and its inverse.
inline void pht(std::uint8_t& x, std::uint8_t& y) {
    y = static_cast<std::uint8_t>(y + x);
    x = static_cast<std::uint8_t>(x + y);
}

inline void ipht(std::uint8_t& x, std::uint8_t& y) {
    x = static_cast<std::uint8_t>(x - y);
    y = static_cast<std::uint8_t>(y - x);
}

int defaultRounds(SaferVariant v) {
    switch (v) {
    case SaferVariant::K40:
    case SaferVariant::SK40:
        return 5;
    case SaferVariant::K64:
    case SaferVariant::SK64:
        return 6;
    default:
        return 10;
    }
}

} // namespace

void SaferCore::setKey(const std::uint8_t* bytes, std::size_t length, SaferVariant variant,
                       int roundCount) {
    std::uint32_t e = 1;
    for (int i = 0; i < 256; ++i) {
        exp[i] = static_cast<std::uint8_t>(e); // 45^128 = 256 is stored as 0
        log[exp[i]] = static_cast<std::uint8_t>(i);
        e = e * 45 % 257;
    }
    const int rounds =
        roundCount >= 4 && roundCount <= kMaxRounds ? roundCount : defaultRounds(variant);
    const bool strong = variant == SaferVariant::SK40 || variant == SaferVariant::SK64 ||
                        variant == SaferVariant::SK128;

    // Two 9-byte registers: eight key bytes and their parity. The 40-bit variants extend
    // five key bytes to all nine by fixed XOR rules instead.
    std::uint8_t k[16];
    std::uint8_t ka[9] = {}, kb[9] = {};
    const WipeOnExit wipeK(k);
    const WipeOnExit wipeA(ka), wipeB(kb);
    padKey(k, sizeof k, bytes, length);
    const std::uint8_t* second = k;
    if (variant == SaferVariant::K128 || variant == SaferVariant::SK128)
        second = length > 8 ? k + 8 : k;
    if (variant == SaferVariant::K40 || variant == SaferVariant::SK40) {
        std::uint8_t x[9] = {k[0],
                             k[1],
                             k[2],
                             k[3],
                             k[4],
                             static_cast<std::uint8_t>(k[0] ^ k[2] ^ 0x81),
                             static_cast<std::uint8_t>(k[0] ^ k[3] ^ k[4] ^ 0x42),
                             static_cast<std::uint8_t>(k[1] ^ k[2] ^ k[4] ^ 0x24),
                             static_cast<std::uint8_t>(k[1] ^ k[3] ^ 0x18)};
        const WipeOnExit wipeX(x);
        for (int j = 0; j < 9; ++j) {
            ka[j] = rotl8(x[j], 5);
            kb[j] = x[j];
        }
    } else {
        for (int j = 0; j < 8; ++j) {
            ka[j] = rotl8(k[j], 5);
            ka[8] ^= ka[j];
            kb[j] = second[j];
            kb[8] ^= kb[j];
        }
    }
    keys[0] = static_cast<std::uint8_t>(rounds);
    std::uint8_t* out = keys + 1;
    std::memcpy(out, kb, 8);
    out += 8;
    for (int i = 1; i <= rounds; ++i) {
        for (int j = 0; j < 9; ++j) {
            ka[j] = rotl8(ka[j], 6);
            kb[j] = rotl8(kb[j], 6);
        }
        for (int j = 0; j < 8; ++j)
            *out++ = static_cast<std::uint8_t>(ka[strong ? (j + 2 * i - 1) % 9 : j] +
                                               exp[exp[18 * i + j + 1]]);
        for (int j = 0; j < 8; ++j)
            *out++ = static_cast<std::uint8_t>(kb[strong ? (j + 2 * i) % 9 : j] +
                                               exp[exp[18 * i + j + 10]]);
    }
}

void SaferCore::encrypt(std::uint8_t* block) const {
    std::uint8_t a = block[0], b = block[1], c = block[2], d = block[3], e = block[4], f = block[5],
                 g = block[6], h = block[7], t;
    const int rounds = keys[0];
    const std::uint8_t* k = keys + 1;
    auto add = [](std::uint8_t x, std::uint8_t y) { return static_cast<std::uint8_t>(x + y); };
    for (int r = 0; r < rounds; ++r, k += 16) {
        a = exp[a ^ k[0]];
        b = log[add(b, k[1])];
        c = log[add(c, k[2])];
        d = exp[d ^ k[3]];
        e = exp[e ^ k[4]];
        f = log[add(f, k[5])];
        g = log[add(g, k[6])];
        h = exp[h ^ k[7]];
        a = add(a, k[8]);
        b ^= k[9];
        c ^= k[10];
        d = add(d, k[11]);
        e = add(e, k[12]);
        f ^= k[13];
        g ^= k[14];
        h = add(h, k[15]);
        pht(a, b), pht(c, d), pht(e, f), pht(g, h);
        pht(a, c), pht(e, g), pht(b, d), pht(f, h);
        pht(a, e), pht(b, f), pht(c, g), pht(d, h);
        t = b, b = e, e = c, c = t, t = d, d = f, f = g, g = t;
    }
    block[0] = a ^ k[0];
    block[1] = add(b, k[1]);
    block[2] = add(c, k[2]);
    block[3] = d ^ k[3];
    block[4] = e ^ k[4];
    block[5] = add(f, k[5]);
    block[6] = add(g, k[6]);
    block[7] = h ^ k[7];
}

void SaferCore::decrypt(std::uint8_t* block) const {
    auto sub = [](std::uint8_t x, std::uint8_t y) { return static_cast<std::uint8_t>(x - y); };
    const int rounds = keys[0];
    const std::uint8_t* k = keys + 1 + 16 * rounds;
    std::uint8_t a = block[0] ^ k[0], b = sub(block[1], k[1]), c = sub(block[2], k[2]),
                 d = block[3] ^ k[3], e = block[4] ^ k[4], f = sub(block[5], k[5]),
                 g = sub(block[6], k[6]), h = block[7] ^ k[7], t;
    for (int r = 0; r < rounds; ++r) {
        k -= 16;
        t = e, e = b, b = c, c = t, t = f, f = d, d = g, g = t;
        ipht(a, e), ipht(b, f), ipht(c, g), ipht(d, h);
        ipht(a, c), ipht(e, g), ipht(b, d), ipht(f, h);
        ipht(a, b), ipht(c, d), ipht(e, f), ipht(g, h);
        a = log[sub(a, k[8])] ^ k[0];
        b = sub(exp[b ^ k[9]], k[1]);
        c = sub(exp[c ^ k[10]], k[2]);
        d = log[sub(d, k[11])] ^ k[3];
        e = log[sub(e, k[12])] ^ k[4];
        f = sub(exp[f ^ k[13]], k[5]);
        g = sub(exp[g ^ k[14]], k[6]);
        h = log[sub(h, k[15])] ^ k[7];
    }
    block[0] = a, block[1] = b, block[2] = c, block[3] = d;
    block[4] = e, block[5] = f, block[6] = g, block[7] = h;
}

} // namespace kd::cipher
