#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Key schedule variants of SAFER.
enum class SaferVariant : int {
    K40 = 1,
    K64 = 2,
    K128 = 3,
    SK40 = 5,
    SK64 = 6,
    SK128 = 7,
};

// SAFER K and SK: the exponent table 45^i mod 257 and its logarithm, then the round keys
// (the round count in the first byte, then two keys per round and one for the output
// transform).
struct SaferCore {
    static constexpr int kMaxRounds = 13;

    std::uint8_t exp[256];
    std::uint8_t log[256];
    std::uint8_t keys[256];

    // Rounds outside 4..13 become the variant's default (5, 6 or 10).
    void setKey(const std::uint8_t* bytes, std::size_t length, SaferVariant variant,
                int roundCount);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(SaferCore) == 768);

} // namespace kd::cipher
