#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Word access and rotations shared by the block cipher cores.
namespace kd::cipher {

inline std::uint32_t loadLE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

inline std::uint32_t loadBE32(const std::uint8_t* p) {
    return std::uint32_t{p[3]} | std::uint32_t{p[2]} << 8 | std::uint32_t{p[1]} << 16 |
           std::uint32_t{p[0]} << 24;
}

inline void storeLE32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline void storeBE32(std::uint8_t* p, std::uint32_t v) {
    p[3] = static_cast<std::uint8_t>(v);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[0] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint32_t rotl32(std::uint32_t x, int n) {
    return std::rotl(x, n);
}
inline std::uint32_t rotr32(std::uint32_t x, int n) {
    return std::rotr(x, n);
}

inline std::uint8_t byteOf(std::uint32_t x, int index) {
    return static_cast<std::uint8_t>(x >> (8 * index));
}

// Copies a key into a zeroed area of `size` bytes (a shorter key counts as padded with
// zeros, a longer one is cut).
inline void padKey(std::uint8_t* out, std::size_t size, const std::uint8_t* key,
                   std::size_t length) {
    std::memset(out, 0, size);
    if (length > 0)
        std::memcpy(out, key, length < size ? length : size);
}

} // namespace kd::cipher
