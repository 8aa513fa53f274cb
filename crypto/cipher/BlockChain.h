#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "crypto/cipher/core/Words.h"

namespace kd::cipher_detail {

// out = a xor b over n bytes, eight at a time; out may coincide with a or b.
inline void xorBytes(std::uint8_t* out, const std::uint8_t* a, const std::uint8_t* b,
                     std::size_t n) {
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        x ^= y;
        std::memcpy(out + i, &x, 8);
    }
    for (; i < n; ++i)
        out[i] = a[i] ^ b[i];
}

// The whole blocks of the two chaining modes: C = E(P xor F), then F = C xor F
// (`xorChain`) or F = C. The MAC forms (`mac`) encrypt into k and write nothing.
template <class Encrypt>
void chainBlocks(Encrypt&& encrypt, const std::uint8_t* in, std::uint8_t* out, std::size_t whole,
                 std::size_t b, std::uint8_t* f, std::uint8_t* k, bool xorChain, bool mac) {
    if (b == 8 && !mac) { // the common 64-bit block, chained in a register
        std::uint64_t chain, x;
        std::memcpy(&chain, f, 8);
        for (std::size_t pos = 0; pos < whole; pos += 8) {
            std::memcpy(&x, in + pos, 8);
            x ^= chain;
            std::memcpy(out + pos, &x, 8);
            encrypt(out + pos);
            std::memcpy(&x, out + pos, 8);
            chain = xorChain ? chain ^ x : x;
        }
        std::memcpy(f, &chain, 8);
        return;
    }
    for (std::size_t pos = 0; pos < whole; pos += b) {
        std::uint8_t* c = mac ? k : out + pos;
        xorBytes(c, in + pos, f, b);
        encrypt(c);
        if (xorChain)
            xorBytes(f, c, f, b);
        else
            std::memcpy(f, c, b);
    }
}

// The same for a 64-bit block cipher that works on two big-endian halves (Blowfish): the
// chain stays in registers as the halves.
template <class EncryptHalves>
void chainHalves(EncryptHalves&& encrypt, const std::uint8_t* in, std::uint8_t* out,
                 std::size_t whole, std::uint8_t* f, bool xorChain) {
    std::uint32_t fl = cipher::loadBE32(f), fr = cipher::loadBE32(f + 4);
    for (std::size_t pos = 0; pos < whole; pos += 8) {
        std::uint32_t l = cipher::loadBE32(in + pos) ^ fl, r = cipher::loadBE32(in + pos + 4) ^ fr;
        encrypt(l, r);
        cipher::storeBE32(out + pos, l);
        cipher::storeBE32(out + pos + 4, r);
        fl = xorChain ? fl ^ l : l;
        fr = xorChain ? fr ^ r : r;
    }
    cipher::storeBE32(f, fl);
    cipher::storeBE32(f + 4, fr);
}

} // namespace kd::cipher_detail
