#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kd {

// CRC-32 of the ZIP format (reflected polynomial 0xEDB88320), shared by the engine
// and the traditional cipher.
extern const std::array<std::uint32_t, 256> Crc32Table;

// Continues a CRC over more data. Start with 0; the value after the last call is the
// CRC of all the data (pre- and post-inverted inside, as zlib's crc32()).
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t length);

// One step of the raw register update, without inversion (the cipher's key update).
inline std::uint32_t Crc32Byte(std::uint32_t reg, std::uint8_t byte) {
    return Crc32Table[(reg ^ byte) & 0xFF] ^ (reg >> 8);
}

} // namespace kd
