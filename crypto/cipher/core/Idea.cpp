#include "crypto/cipher/core/Idea.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

namespace kd::cipher {
namespace {

// Multiplication modulo 65537 where 0 stands for 65536.
inline std::uint16_t mul(std::uint32_t a, std::uint32_t b) {
    if (a == 0)
        return static_cast<std::uint16_t>(65537 - b);
    if (b == 0)
        return static_cast<std::uint16_t>(65537 - a);
    const std::uint32_t p = a * b;
    const std::uint32_t lo = p & 0xFFFF, hi = p >> 16;
    return static_cast<std::uint16_t>(lo - hi + (lo < hi ? 1 : 0));
}

// Multiplicative inverse modulo 65537 (x^65535), with 0 (65536) its own inverse.
std::uint16_t inverse(std::uint16_t x) {
    std::uint16_t result = 1, base = x;
    for (std::uint32_t e = 65535; e != 0; e >>= 1) {
        if (e & 1)
            result = mul(result, base);
        base = mul(base, base);
    }
    return result;
}

inline std::uint16_t negate(std::uint16_t x) {
    return static_cast<std::uint16_t>(-x);
}

inline std::uint16_t load16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

inline void store16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}

} // namespace

void IdeaCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    std::uint8_t padded[16];
    const WipeOnExit wipePadded(padded);
    padKey(padded, sizeof padded, bytes, length);
    // The 128-bit key rotated left by 25 bits gives each following group of eight.
    std::uint64_t hi = 0, lo = 0;
    const WipeOnExit wipeHi(hi), wipeLo(lo);
    for (int i = 0; i < 8; ++i) {
        hi = hi << 8 | padded[i];
        lo = lo << 8 | padded[8 + i];
    }
    for (int i = 0; i < 52; ++i) {
        if (i > 0 && i % 8 == 0) {
            const std::uint64_t h = hi << 25 | lo >> 39;
            lo = lo << 25 | hi >> 39;
            hi = h;
        }
        const int k = i % 8;
        const std::uint64_t w = k < 4 ? hi >> (48 - 16 * k) : lo >> (48 - 16 * (k - 4));
        encryptKeys[i] = static_cast<std::uint16_t>(w);
    }
    const std::uint16_t* z = encryptKeys;
    std::uint16_t* d = decryptKeys;
    for (int r = 0; r <= 8; ++r) {
        const int e = 48 - 6 * r; // output transform keys of the mirrored round
        const bool swap = r != 0 && r != 8;
        d[6 * r] = inverse(z[e]);
        d[6 * r + 1] = negate(z[e + (swap ? 2 : 1)]);
        d[6 * r + 2] = negate(z[e + (swap ? 1 : 2)]);
        d[6 * r + 3] = inverse(z[e + 3]);
        if (r < 8) {
            d[6 * r + 4] = z[e - 2];
            d[6 * r + 5] = z[e - 1];
        }
    }
}

void IdeaCore::crypt(std::uint8_t* block, const std::uint16_t* keys) {
    std::uint32_t x1 = load16(block), x2 = load16(block + 2), x3 = load16(block + 4),
                  x4 = load16(block + 6);
    for (int r = 0; r < 8; ++r, keys += 6) {
        x1 = mul(x1, keys[0]);
        x2 = (x2 + keys[1]) & 0xFFFF;
        x3 = (x3 + keys[2]) & 0xFFFF;
        x4 = mul(x4, keys[3]);
        std::uint32_t t0 = mul(x1 ^ x3, keys[4]);
        const std::uint32_t t1 = mul((t0 + (x2 ^ x4)) & 0xFFFF, keys[5]);
        t0 = (t0 + t1) & 0xFFFF;
        x1 ^= t1;
        x4 ^= t0;
        const std::uint32_t t = x2 ^ t0;
        x2 = x3 ^ t1;
        x3 = t;
    }
    store16(block, mul(x1, keys[0]));
    store16(block + 2, x3 + keys[1]);
    store16(block + 4, x2 + keys[2]);
    store16(block + 6, mul(x4, keys[3]));
}

} // namespace kd::cipher
