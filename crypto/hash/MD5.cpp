#include "crypto/hash/MD5.h"

#include <array>
#include <utility>

#include "crypto/base/Bits.h"

namespace kd {
namespace {

// The additive constants: the integer part of 2^32 * |sin(i + 1)|.
constexpr std::uint32_t kT[64] = {
    0xD76AA478, 0xE8C7B756, 0x242070DB, 0xC1BDCEEE, 0xF57C0FAF, 0x4787C62A, 0xA8304613, 0xFD469501,
    0x698098D8, 0x8B44F7AF, 0xFFFF5BB1, 0x895CD7BE, 0x6B901122, 0xFD987193, 0xA679438E, 0x49B40821,
    0xF61E2562, 0xC040B340, 0x265E5A51, 0xE9B6C7AA, 0xD62F105D, 0x02441453, 0xD8A1E681, 0xE7D3FBC8,
    0x21E1CDE6, 0xC33707D6, 0xF4D50D87, 0x455A14ED, 0xA9E3E905, 0xFCEFA3F8, 0x676F02D9, 0x8D2A4C8A,
    0xFFFA3942, 0x8771F681, 0x6D9D6122, 0xFDE5380C, 0xA4BEEA44, 0x4BDECFA9, 0xF6BB4B60, 0xBEBFBC70,
    0x289B7EC6, 0xEAA127FA, 0xD4EF3085, 0x04881D05, 0xD9D4D039, 0xE6DB99E5, 0x1FA27CF8, 0xC4AC5665,
    0xF4292244, 0x432AFF97, 0xAB9423A7, 0xFC93A039, 0x655B59C3, 0x8F0CCC92, 0xFFEFF47D, 0x85845DD1,
    0x6FA87E4F, 0xFE2CE6E0, 0xA3014314, 0x4E0811A1, 0xF7537E82, 0xBD3AF235, 0x2AD7D2BB, 0xEB86D391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// The message word of step i: in order, then (1 + 5i), (5 + 3i) and 7i modulo 16.
constexpr int wordOf(int i) {
    switch (i / 16) {
    case 0:
        return i;
    case 1:
        return (1 + 5 * i) % 16;
    case 2:
        return (5 + 3 * i) % 16;
    default:
        return (7 * i) % 16;
    }
}

// One step, the four registers' roles turning by one each step.
template <int I> inline void step(std::array<std::uint32_t, 4>& v, const std::uint32_t* x) {
    std::uint32_t& a = v[(4 - I % 4) % 4];
    const std::uint32_t b = v[(5 - I % 4) % 4];
    const std::uint32_t c = v[(6 - I % 4) % 4];
    const std::uint32_t d = v[(7 - I % 4) % 4];
    // The message word and constant are added first: they do not wait for the other
    // registers, so the processor overlaps them with the previous step.
    std::uint32_t t = a + x[wordOf(I)] + kT[I];
    if constexpr (I < 16)
        t += ((c ^ d) & b) ^ d;
    else if constexpr (I < 32)
        t += (d & b) + (~d & c); // the two terms share no bit, so + is |
    else if constexpr (I < 48)
        t += b ^ c ^ d;
    else
        t += c ^ (b | ~d);
    a = b + RotateLeft32(t, unsigned(kShift[I / 16][I % 4]));
}

template <int... I>
inline void allSteps(std::array<std::uint32_t, 4>& v, const std::uint32_t* x,
                     std::integer_sequence<int, I...>) {
    (step<I>(v, x), ...);
}

} // namespace

void THash_MD5::Transform(const std::uint8_t* block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLE32(block + 4 * i);
    std::array<std::uint32_t, 4> v = {state_[0], state_[1], state_[2], state_[3]};
    allSteps(v, x, std::make_integer_sequence<int, 64>());
    for (int i = 0; i < 4; ++i)
        state_[i] += v[i];
}

std::string THash_MD5::KnownAnswer() const {
    return "\x90\x01\x50\x98\x3c\xd2\x4f\xb0\xd6\x96\x3f\x7d\x28\xe1\x7f\x72";
}

} // namespace kd
