#include "crypto/hash/HavalPiWords.h"

#include <cstddef>
#include <vector>

namespace kd::haval {
namespace {

// Fixed-point numbers: limb 0 is the integer part, then 32-bit fraction limbs, most
// significant first. A few guard limbs absorb the truncation of the series.
using Fixed = std::vector<std::uint32_t>;

void DivideInPlace(Fixed& x, std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (auto& limb : x) {
        std::uint64_t value = (rest << 32) | limb;
        limb = static_cast<std::uint32_t>(value / divisor);
        rest = value % divisor;
    }
}

void AddInPlace(Fixed& x, const Fixed& y, bool subtract) {
    std::uint64_t carry = 0;
    for (std::size_t i = x.size(); i-- > 0;) {
        std::uint64_t value =
            subtract ? std::uint64_t{x[i]} - y[i] - carry : std::uint64_t{x[i]} + y[i] + carry;
        x[i] = static_cast<std::uint32_t>(value);
        carry = (value >> 32) & 1;
    }
}

bool IsZero(const Fixed& x) {
    for (auto limb : x)
        if (limb != 0)
            return false;
    return true;
}

// sum += factor * arctan(1/x) = factor * sum of (-1)^k / ((2k+1) x^(2k+1)).
void AddArctan(Fixed& sum, std::uint32_t factor, std::uint32_t x) {
    Fixed power(sum.size(), 0);
    power[0] = factor;
    DivideInPlace(power, x);
    for (std::uint32_t k = 0; !IsZero(power); ++k) {
        Fixed term = power;
        DivideInPlace(term, 2 * k + 1);
        AddInPlace(sum, term, k % 2 == 1);
        DivideInPlace(power, x * x);
    }
}

} // namespace

const std::array<std::uint32_t, 136>& PiFractionWords() {
    // Machin's formula: pi = 16 arctan(1/5) - 4 arctan(1/239).
    static const std::array<std::uint32_t, 136> words = [] {
        Fixed pi(1 + 136 + 4, 0);
        AddArctan(pi, 16, 5);
        Fixed negative(pi.size(), 0);
        AddArctan(negative, 4, 239);
        AddInPlace(pi, negative, true);
        std::array<std::uint32_t, 136> fraction{};
        for (std::size_t i = 0; i < fraction.size(); ++i)
            fraction[i] = pi[1 + i];
        return fraction;
    }();
    return words;
}

} // namespace kd::haval
