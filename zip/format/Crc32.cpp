#include "zip/format/Crc32.h"

#include "zip/format/Crc32Impl.h"

namespace kd {

namespace {

// kSlices[k][b]: the register change of byte b followed by k zero bytes, so that 16
// bytes are folded into the register with 16 independent table look-ups.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 16>;
constexpr SliceTables kSlices = [] {
    SliceTables t{};
    t[0] = Crc32Table;
    for (std::size_t k = 1; k < t.size(); ++k)
        for (std::size_t i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}();

inline std::uint32_t load32le(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

using Kernel = std::uint32_t (*)(std::uint32_t, const std::uint8_t*, std::size_t);

Kernel chooseKernel() {
    return crc32_detail::clmulAvailable() ? crc32_detail::updateClmul
                                          : crc32_detail::updatePortable;
}

} // namespace

namespace crc32_detail {

std::uint32_t updatePortable(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    const auto& t = kSlices;
    while (n >= 16) {
        const std::uint32_t a = load32le(p) ^ reg;
        const std::uint32_t b = load32le(p + 4);
        const std::uint32_t c = load32le(p + 8);
        const std::uint32_t d = load32le(p + 12);
        reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        n -= 16;
    }
    while (n--)
        reg = Crc32Byte(reg, *p++);
    return reg;
}

} // namespace crc32_detail

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t length) {
    static const Kernel kernel = chooseKernel();
    return ~kernel(~crc, static_cast<const std::uint8_t*>(data), length);
}

} // namespace kd
