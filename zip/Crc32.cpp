#include "zip/Crc32.h"

namespace kd {

const std::array<std::uint32_t, 256> Crc32Table = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t length) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::uint32_t reg = ~crc;
    while (length--)
        reg = Crc32Byte(reg, *p++);
    return ~reg;
}

} // namespace kd
