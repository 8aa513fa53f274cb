#include "crypto/cipher/core/InverseSbox.h"

#include "crypto/cipher/core/Gf256.h"

namespace kd::cipher {
namespace {

// The affine map's matrix, as the images of the eight unit vectors, and its constant.
constexpr std::uint8_t kAffineColumns[8] = {0x7F, 0xDA, 0xBC, 0x78, 0xF0, 0x60, 0xC0, 0x80};
constexpr std::uint8_t kAffineConstant = 0xB1;

InverseSbox build() {
    InverseSbox s;
    for (int x = 0; x < 256; ++x) {
        const std::uint8_t v = gfInverse(static_cast<std::uint8_t>(x), kInverseSboxPoly);
        std::uint8_t y = kAffineConstant;
        for (int bit = 0; bit < 8; ++bit)
            if (v >> bit & 1)
                y ^= kAffineColumns[bit];
        s.forward[static_cast<std::size_t>(x)] = y;
        s.backward[y] = static_cast<std::uint8_t>(x);
    }
    return s;
}

} // namespace

const InverseSbox& inverseSbox() {
    static const InverseSbox s = build();
    return s;
}

} // namespace kd::cipher
