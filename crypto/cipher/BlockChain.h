#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

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

} // namespace kd::cipher_detail
