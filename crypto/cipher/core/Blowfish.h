#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Blowfish: 18 P-entries and four 256-entry S-boxes; block halves big-endian.
struct BlowfishCore {
    std::uint32_t p[18];
    std::uint32_t s[4][256];

    // `length` must be at least 1 (the caller refuses an empty key).
    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;

    void encryptHalves(std::uint32_t& left, std::uint32_t& right) const {
        std::uint32_t l = left, r = right;
        for (int i = 0; i < 16; i += 2) {
            l ^= p[i];
            r ^= f(l);
            r ^= p[i + 1];
            l ^= f(r);
        }
        left = r ^ p[17];
        right = l ^ p[16];
    }

    void decryptHalves(std::uint32_t& left, std::uint32_t& right) const {
        std::uint32_t l = left, r = right;
        for (int i = 17; i > 1; i -= 2) {
            l ^= p[i];
            r ^= f(l);
            r ^= p[i - 1];
            l ^= f(r);
        }
        left = r ^ p[0];
        right = l ^ p[1];
    }

private:
    std::uint32_t f(std::uint32_t x) const {
        return ((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF];
    }
};
static_assert(sizeof(BlowfishCore) == 4168);

} // namespace kd::cipher
