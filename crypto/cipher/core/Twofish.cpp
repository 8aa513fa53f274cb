#include "crypto/cipher/core/Twofish.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Gf256.h"
#include "crypto/cipher/core/Words.h"

#include <array>

namespace kd::cipher {
namespace {

using Perm = std::array<std::uint8_t, 256>;

// The 4-bit permutations from which the two byte permutations q0 and q1 are built.
constexpr std::uint8_t kQ[2][4][16] = {
    {{8, 1, 7, 13, 6, 15, 3, 2, 0, 11, 5, 9, 14, 12, 10, 4},
     {14, 12, 11, 8, 1, 2, 3, 5, 15, 4, 10, 6, 7, 0, 9, 13},
     {11, 10, 5, 14, 6, 13, 9, 0, 12, 8, 15, 3, 2, 4, 7, 1},
     {13, 7, 15, 4, 1, 2, 6, 14, 9, 11, 3, 0, 8, 5, 12, 10}},
    {{2, 8, 11, 13, 15, 7, 6, 14, 3, 1, 9, 4, 0, 10, 12, 5},
     {1, 14, 2, 11, 4, 12, 3, 7, 6, 13, 10, 5, 15, 9, 0, 8},
     {4, 12, 7, 5, 1, 6, 9, 10, 0, 14, 13, 8, 2, 11, 3, 15},
     {11, 9, 5, 1, 12, 3, 13, 14, 6, 4, 7, 15, 2, 0, 8, 10}},
};

Perm buildQ(int which) {
    Perm q{};
    const auto& t = kQ[which];
    auto ror4 = [](int x) { return ((x >> 1) | (x << 3)) & 15; };
    for (int x = 0; x < 256; ++x) {
        int a = x >> 4, b = x & 15;
        for (int step = 0; step < 2; ++step) {
            const int a1 = a ^ b, b1 = (a ^ ror4(b) ^ (8 * a)) & 15;
            a = t[2 * step][a1];
            b = t[2 * step + 1][b1];
        }
        q[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(b << 4 | a);
    }
    return q;
}

struct Permutations {
    Perm q0 = buildQ(0), q1 = buildQ(1);
};

const Permutations& perms() {
    static const Permutations p;
    return p;
}

constexpr unsigned kMdsPoly = 0x169, kRsPoly = 0x14D;
constexpr std::uint8_t kMds[4][4] = {{0x01, 0xEF, 0x5B, 0x5B},
                                     {0x5B, 0xEF, 0xEF, 0x01},
                                     {0xEF, 0x5B, 0x01, 0xEF},
                                     {0xEF, 0x01, 0xEF, 0x5B}};
constexpr std::uint8_t kRs[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                                    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                                    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                                    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};

// Column `col` of the MDS matrix times the byte y.
std::uint32_t mdsColumn(int col, std::uint8_t y) {
    std::uint32_t r = 0;
    for (int row = 0; row < 4; ++row)
        r |= std::uint32_t{gfMul(kMds[row][col], y, kMdsPoly)} << (8 * row);
    return r;
}

// The keyed byte permutation of h for input byte x in position `pos`; `words` are the
// key words L0..L(k-1).
std::uint8_t keyedByte(int pos, std::uint8_t x, const std::uint32_t* words, int k) {
    const Permutations& p = perms();
    // Which permutation each stage applies, per byte position, from the k = 4 stage on.
    static constexpr int kStage[4][4] = {{1, 0, 0, 1}, {1, 1, 0, 0}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    auto q = [&](int which, std::uint8_t v) { return which ? p.q1[v] : p.q0[v]; };
    std::uint8_t y = x;
    if (k == 4)
        y = q(kStage[0][pos], y) ^ byteOf(words[3], pos);
    if (k >= 3)
        y = q(kStage[1][pos], y) ^ byteOf(words[2], pos);
    y = q(kStage[2][pos], y) ^ byteOf(words[1], pos);
    y = q(kStage[3][pos], y) ^ byteOf(words[0], pos);
    static constexpr int kLast[4] = {1, 0, 1, 0};
    return q(kLast[pos], y);
}

std::uint32_t h(std::uint32_t x, const std::uint32_t* words, int k) {
    std::uint32_t r = 0;
    for (int pos = 0; pos < 4; ++pos)
        r ^= mdsColumn(pos, keyedByte(pos, byteOf(x, pos), words, k));
    return r;
}

} // namespace

void TwofishCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    const int k = length <= 16 ? 2 : length <= 24 ? 3 : 4;
    std::uint8_t key[32];
    std::uint32_t even[4] = {}, odd[4] = {}, s[4] = {};
    const WipeOnExit wipeKey(key);
    const WipeOnExit wipeEven(even), wipeOdd(odd), wipeS(s);
    padKey(key, sizeof key, bytes, length);
    for (int i = 0; i < k; ++i) {
        even[i] = loadLE32(key + 8 * i);
        odd[i] = loadLE32(key + 8 * i + 4);
        std::uint32_t v = 0;
        for (int row = 0; row < 4; ++row) {
            std::uint8_t acc = 0;
            for (int col = 0; col < 8; ++col)
                acc ^= gfMul(kRs[row][col], key[8 * i + col], kRsPoly);
            v |= std::uint32_t{acc} << (8 * row);
        }
        s[k - 1 - i] = v; // g uses the words in reverse order
    }
    for (std::uint32_t i = 0; i < 20; ++i) {
        const std::uint32_t a = h(2 * i * 0x01010101u, even, k);
        const std::uint32_t b = rotl32(h((2 * i + 1) * 0x01010101u, odd, k), 8);
        subkeys[2 * i] = a + b;
        subkeys[2 * i + 1] = rotl32(a + 2 * b, 9);
    }
    for (int pos = 0; pos < 4; ++pos)
        for (int x = 0; x < 256; ++x)
            sbox[pos][x] = mdsColumn(pos, keyedByte(pos, static_cast<std::uint8_t>(x), s, k));
}

void TwofishCore::encrypt(std::uint8_t* block) const {
    std::uint32_t r[4];
    for (int i = 0; i < 4; ++i)
        r[i] = loadLE32(block + 4 * i) ^ subkeys[i];
    for (int round = 0; round < 16; round += 2) {
        std::uint32_t t0 = g0(r[0]), t1 = g0(rotl32(r[1], 8));
        r[2] = rotr32(r[2] ^ (t0 + t1 + subkeys[2 * round + 8]), 1);
        r[3] = rotl32(r[3], 1) ^ (t0 + 2 * t1 + subkeys[2 * round + 9]);
        t0 = g0(r[2]);
        t1 = g0(rotl32(r[3], 8));
        r[0] = rotr32(r[0] ^ (t0 + t1 + subkeys[2 * round + 10]), 1);
        r[1] = rotl32(r[1], 1) ^ (t0 + 2 * t1 + subkeys[2 * round + 11]);
    }
    for (int i = 0; i < 4; ++i)
        storeLE32(block + 4 * i, r[(i + 2) % 4] ^ subkeys[4 + i]);
}

void TwofishCore::decrypt(std::uint8_t* block) const {
    std::uint32_t r[4];
    for (int i = 0; i < 4; ++i)
        r[(i + 2) % 4] = loadLE32(block + 4 * i) ^ subkeys[4 + i];
    for (int round = 14; round >= 0; round -= 2) {
        std::uint32_t t0 = g0(r[2]), t1 = g0(rotl32(r[3], 8));
        r[0] = rotl32(r[0], 1) ^ (t0 + t1 + subkeys[2 * round + 10]);
        r[1] = rotr32(r[1] ^ (t0 + 2 * t1 + subkeys[2 * round + 11]), 1);
        t0 = g0(r[0]);
        t1 = g0(rotl32(r[1], 8));
        r[2] = rotl32(r[2], 1) ^ (t0 + t1 + subkeys[2 * round + 8]);
        r[3] = rotr32(r[3] ^ (t0 + 2 * t1 + subkeys[2 * round + 9]), 1);
    }
    for (int i = 0; i < 4; ++i)
        storeLE32(block + 4 * i, r[i] ^ subkeys[i]);
}

} // namespace kd::cipher
