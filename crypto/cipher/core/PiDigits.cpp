#include "crypto/cipher/core/PiDigits.h"

#include <map>
#include <mutex>

namespace kd::cipher {
namespace {

// Fixed-point numbers: word 0 is the integer part, the others the fraction, most
// significant first.
using Fixed = std::vector<std::uint32_t>;

// Divides in place by a small divisor, starting at the first word that may be nonzero.
void divide(Fixed& a, std::size_t first, std::uint32_t divisor) {
    std::uint64_t rest = 0;
    for (std::size_t i = first; i < a.size(); ++i) {
        const std::uint64_t cur = rest << 32 | a[i];
        a[i] = static_cast<std::uint32_t>(cur / divisor);
        rest = cur % divisor;
    }
}

void addOrSubtract(Fixed& acc, const Fixed& term, std::size_t first, bool subtract) {
    std::uint64_t carry = 0;
    for (std::size_t i = acc.size(); i-- > first;) {
        if (subtract) {
            const std::uint64_t need = std::uint64_t{term[i]} + carry;
            carry = acc[i] < need ? 1 : 0;
            acc[i] = static_cast<std::uint32_t>(acc[i] - need);
        } else {
            const std::uint64_t sum = std::uint64_t{acc[i]} + term[i] + carry;
            acc[i] = static_cast<std::uint32_t>(sum);
            carry = sum >> 32;
        }
    }
    for (std::size_t i = first; carry != 0 && i-- > 0;) {
        if (subtract) {
            carry = acc[i] == 0 ? 1 : 0;
            --acc[i];
        } else {
            carry = ++acc[i] == 0 ? 1 : 0;
        }
    }
}

void multiply(Fixed& a, std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const std::uint64_t v = std::uint64_t{a[i]} * factor + carry;
        a[i] = static_cast<std::uint32_t>(v);
        carry = v >> 32;
    }
}

// arctan(1/x) = sum over k of (-1)^k / ((2k + 1) x^(2k+1)).
Fixed arctanInverse(std::uint32_t x, std::size_t words) {
    Fixed power(words, 0), term(words, 0), acc(words, 0);
    power[0] = 1;
    divide(power, 0, x);
    acc = power;
    std::size_t first = 0;
    for (std::uint32_t k = 1;; ++k) {
        divide(power, first, x * x);
        while (first < words && power[first] == 0)
            ++first;
        if (first == words)
            break;
        term = power;
        divide(term, first, 2 * k + 1);
        addOrSubtract(acc, term, first, k % 2 == 1);
    }
    return acc;
}

std::vector<std::uint32_t> computePi(std::size_t count) {
    const std::size_t words = count + 1 + 3; // integer part and guard words
    Fixed a = arctanInverse(5, words);
    multiply(a, 4);
    const Fixed b = arctanInverse(239, words);
    addOrSubtract(a, b, 0, true);
    multiply(a, 4);
    return {a.begin() + 1, a.begin() + 1 + static_cast<std::ptrdiff_t>(count)};
}

} // namespace

const std::vector<std::uint32_t>& piFractionWords(std::size_t count) {
    static std::mutex lock;
    static std::map<std::size_t, std::vector<std::uint32_t>> cache;
    const std::lock_guard guard(lock);
    auto it = cache.find(count);
    if (it == cache.end())
        it = cache.emplace(count, computePi(count)).first;
    return it->second;
}

} // namespace kd::cipher
