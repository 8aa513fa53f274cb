#pragma once
// Word-level helpers of the algorithms: rotations, byte swaps, bit reversal, loads and
// stores of little- and big-endian words, buffer XOR and comparison.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kd {

constexpr std::uint32_t RotateLeft32(std::uint32_t x, unsigned n) {
    return std::rotl(x, int(n % 32));
}
constexpr std::uint32_t RotateRight32(std::uint32_t x, unsigned n) {
    return std::rotr(x, int(n % 32));
}

constexpr std::uint32_t SwapBytes32(std::uint32_t x) {
    return (x >> 24) | ((x >> 8) & 0xFF00u) | ((x << 8) & 0xFF0000u) | (x << 24);
}

// SwapBytes32 on count words, from the last to the first, so source and destination
// may be the same buffer.
void SwapBytes32Buffer(const void* source, void* destination, std::size_t count);

// The 32 bits in reverse order.
constexpr std::uint32_t ReverseBits32(std::uint32_t x) {
    x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
    x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
    x = ((x >> 4) & 0x0F0F0F0Fu) | ((x & 0x0F0F0F0Fu) << 4);
    return SwapBytes32(x);
}

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big)
        v = SwapBytes32(v);
    return v;
}
inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::little)
        v = SwapBytes32(v);
    return v;
}
inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::big)
        v = SwapBytes32(v);
    std::memcpy(p, &v, 4);
}
inline void StoreBE32(std::uint8_t* p, std::uint32_t v) {
    if constexpr (std::endian::native == std::endian::little)
        v = SwapBytes32(v);
    std::memcpy(p, &v, 4);
}
inline std::uint64_t LoadLE64(const std::uint8_t* p) {
    return std::uint64_t{LoadLE32(p)} | (std::uint64_t{LoadLE32(p + 4)} << 32);
}
inline void StoreLE64(std::uint8_t* p, std::uint64_t v) {
    StoreLE32(p, std::uint32_t(v));
    StoreLE32(p + 4, std::uint32_t(v >> 32));
}
inline void StoreBE64(std::uint8_t* p, std::uint64_t v) {
    StoreBE32(p, std::uint32_t(v >> 32));
    StoreBE32(p + 4, std::uint32_t(v));
}

// out[i] = a[i] ^ b[i]; out may be a or b.
void XorBuffers(const void* a, const void* b, std::size_t size, void* out);

// 0 when equal, else the difference of the first differing bytes (as unsigned).
int CompareMemory(const void* a, const void* b, std::size_t size);

// Fills size bytes with value so that no compiler drops it (key material, digests).
void SecureFill(void* buffer, std::size_t size, std::uint8_t value);
inline void SecureZero(void* buffer, std::size_t size) {
    SecureFill(buffer, size, 0);
}

} // namespace kd
