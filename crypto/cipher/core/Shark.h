#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// SHARK with a 64-bit block and 6 rounds: seven 8-byte round keys for encryption and the
// same in reverse order for decryption.
struct SharkCore {
    static constexpr int kRounds = 6;

    std::uint8_t encryptKeys[kRounds + 1][8];
    std::uint8_t decryptKeys[kRounds + 1][8];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void encrypt(std::uint8_t* block) const;
    void decrypt(std::uint8_t* block) const;
};
static_assert(sizeof(SharkCore) == 112);

} // namespace kd::cipher
