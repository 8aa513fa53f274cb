#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kd {

// CRC-32 of the ZIP format (reflected polynomial 0xEDB88320), shared by the engine,
// the traditional cipher and the hash library.
inline constexpr std::array<std::uint32_t, 256> Crc32Table = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

// Continues a CRC over more data. Start with 0; the value after the last call is the
// CRC of all the data (pre- and post-inverted inside, as zlib's crc32()). Uses
// carry-less multiplication where the processor has it, else slicing by 16 bytes;
// both give the same results.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t length);

// One step of the raw register update, without inversion (the cipher's key update).
inline std::uint32_t Crc32Byte(std::uint32_t reg, std::uint8_t byte) {
    return Crc32Table[(reg ^ byte) & 0xFF] ^ (reg >> 8);
}

} // namespace kd
