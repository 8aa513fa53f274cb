#include "crypto/hash/TigerTransform.h"

#include <bit>

#include "crypto/base/Bits.h"

namespace kd::tiger {
namespace {

using Word = std::uint64_t;

inline unsigned Byte(Word x, int n) {
    return static_cast<unsigned>(x >> (8 * n)) & 0xFF;
}

inline void Round(Word& a, Word& b, Word& c, Word x, Word mul, const Word* t) {
    c ^= x;
    a -= t[Byte(c, 0)] ^ t[256 + Byte(c, 2)] ^ t[512 + Byte(c, 4)] ^ t[768 + Byte(c, 6)];
    b += t[768 + Byte(c, 1)] ^ t[512 + Byte(c, 3)] ^ t[256 + Byte(c, 5)] ^ t[Byte(c, 7)];
    b *= mul;
}

inline void Pass(Word& a, Word& b, Word& c, const Word* x, Word mul, const Word* t) {
    Round(a, b, c, x[0], mul, t);
    Round(b, c, a, x[1], mul, t);
    Round(c, a, b, x[2], mul, t);
    Round(a, b, c, x[3], mul, t);
    Round(b, c, a, x[4], mul, t);
    Round(c, a, b, x[5], mul, t);
    Round(a, b, c, x[6], mul, t);
    Round(b, c, a, x[7], mul, t);
}

inline void KeySchedule(Word* x) {
    x[0] -= x[7] ^ 0xA5A5A5A5A5A5A5A5;
    x[1] ^= x[0];
    x[2] += x[1];
    x[3] -= x[2] ^ (~x[1] << 19);
    x[4] ^= x[3];
    x[5] += x[4];
    x[6] -= x[5] ^ (~x[4] >> 23);
    x[7] ^= x[6];
    x[0] += x[7];
    x[1] -= x[0] ^ (~x[7] << 19);
    x[2] ^= x[1];
    x[3] += x[2];
    x[4] -= x[3] ^ (~x[2] >> 23);
    x[5] ^= x[4];
    x[6] += x[5];
    x[7] -= x[6] ^ 0x0123456789ABCDEF;
}

} // namespace

void Compress(Word* chain, const std::uint8_t* data, std::size_t blocks, int passes,
              const SBoxes& boxes) {
    const Word* t = boxes.data();
    for (; blocks > 0; --blocks, data += 64) {
        Word x[8];
        for (int i = 0; i < 8; ++i)
            x[i] = LoadLE64(data + 8 * i);
        Word a = chain[0], b = chain[1], c = chain[2];
        Pass(a, b, c, x, 5, t);
        KeySchedule(x);
        Pass(c, a, b, x, 7, t);
        KeySchedule(x);
        Pass(b, c, a, x, 9, t);
        // Further passes use the multiplier 9 and rotate the words after each.
        for (int pass = 3; pass < passes; ++pass) {
            KeySchedule(x);
            Pass(a, b, c, x, 9, t);
            Word saved = a;
            a = c;
            c = b;
            b = saved;
        }
        chain[0] ^= a;
        chain[1] = b - chain[1];
        chain[2] += c;
    }
}

} // namespace kd::tiger
