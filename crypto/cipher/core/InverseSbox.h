#pragma once
#include <array>
#include <cstdint>

namespace kd::cipher {

// The field of Square and SHARK: GF(2^8) modulo x^8 + x^7 + x^6 + x^5 + x^4 + x^2 + 1.
inline constexpr unsigned kInverseSboxPoly = 0x1F5;

// Their S-box: inversion in that field followed by the affine map y = A x + 0xB1; and
// its inverse.
struct InverseSbox {
    std::array<std::uint8_t, 256> forward{}, backward{};
};
const InverseSbox& inverseSbox();

} // namespace kd::cipher
