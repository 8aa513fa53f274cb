#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// SHARK with a 64-bit block (a little-endian word) and 6 rounds: seven round keys for
// encryption and the same in reverse order for decryption, the inner five of those
// carried through the inverse diffusion so that a round costs eight table look-ups.
struct SharkCore {
    static constexpr int kRounds = 6;

    std::uint64_t encryptKeys[kRounds + 1];
    std::uint64_t decryptKeys[kRounds + 1];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(SharkCore) == 112);

} // namespace kd::cipher
