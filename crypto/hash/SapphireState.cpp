#include "crypto/hash/SapphireState.h"

#include "crypto/base/Bits.h"

namespace kd::sapphire {

void SapphireState::Reset() {
    rotor = 1;
    ratchet = 3;
    avalanche = 5;
    lastPlain = 7;
    lastCipher = 11;
    for (int i = 0; i < 256; ++i)
        cards[i] = static_cast<std::uint8_t>(255 - i);
}

std::uint8_t SapphireState::Encrypt(std::uint8_t plain) {
    // A rotor of 256 positions, rewired on the fly by swapping cards.
    ratchet = static_cast<std::uint8_t>(ratchet + cards[rotor++]);
    const std::uint8_t swap = cards[lastCipher];
    cards[lastCipher] = cards[ratchet];
    cards[ratchet] = cards[lastPlain];
    cards[lastPlain] = cards[rotor];
    cards[rotor] = swap;
    avalanche = static_cast<std::uint8_t>(avalanche + cards[swap]);
    lastCipher = static_cast<std::uint8_t>(
        plain ^ cards[(cards[ratchet] + cards[rotor]) & 0xFF] ^
        cards[cards[(cards[lastPlain] + cards[lastCipher] + cards[avalanche]) & 0xFF]]);
    lastPlain = plain;
    return lastCipher;
}

void SapphireState::Wipe() {
    SecureZero(this, sizeof *this);
}

} // namespace kd::sapphire
