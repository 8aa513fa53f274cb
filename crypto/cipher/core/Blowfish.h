#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>

#include "crypto/cipher/core/Words.h"

namespace kd::cipher {

// Blowfish: 18 P-entries and four 256-entry S-boxes; block halves big-endian.
struct BlowfishCore {
    std::uint32_t p[18];
    std::uint32_t s[4][256];

    // `length` must be at least 1 (the caller refuses an empty key).
    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const {
        std::uint32_t l = loadBE32(block), r = loadBE32(block + 4);
        encryptHalves(l, r);
        storeBE32(block, l);
        storeBE32(block + 4, r);
    }
    void decrypt(std::uint8_t* block) const {
        std::uint32_t l = loadBE32(block), r = loadBE32(block + 4);
        decryptHalves(l, r);
        storeBE32(block, l);
        storeBE32(block + 4, r);
    }

    void encryptHalves(std::uint32_t& left, std::uint32_t& right) const { run<0, 1>(left, right); }
    void decryptHalves(std::uint32_t& left, std::uint32_t& right) const {
        run<17, -1>(left, right);
    }

private:
    // The sixteen rounds, unrolled, taking P-entries from `First` in steps of `Step`.
    template <int First, int Step> void run(std::uint32_t& left, std::uint32_t& right) const {
        std::uint32_t l = left, r = right;
        rounds<First, Step>(l, r, std::make_integer_sequence<int, 8>{});
        left = r ^ p[First + 17 * Step];
        right = l ^ p[First + 16 * Step];
    }
    template <int First, int Step, int... I>
    void rounds(std::uint32_t& l, std::uint32_t& r, std::integer_sequence<int, I...>) const {
        ((l ^= p[First + 2 * I * Step], r ^= f(l), r ^= p[First + (2 * I + 1) * Step], l ^= f(r)),
         ...);
    }

    std::uint32_t f(std::uint32_t x) const {
        return ((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF];
    }
};
static_assert(sizeof(BlowfishCore) == 4168);

} // namespace kd::cipher
