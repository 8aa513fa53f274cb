#pragma once
#include <cstdint>

namespace kd::sapphire {

// The state of the Sapphire II stream cipher: a permutation of the 256 byte values
// ("cards") reshuffled by every byte, and five index bytes.
struct SapphireState {
    std::uint8_t cards[256];
    std::uint8_t rotor, ratchet, avalanche, lastPlain, lastCipher;

    // The hash start: indices 1, 3, 5, 7, 11 and the cards in reverse order.
    void Reset();
    // One encryption step: returns the cipher byte of `plain`.
    std::uint8_t Encrypt(std::uint8_t plain);
    void Wipe();
};

} // namespace kd::sapphire
