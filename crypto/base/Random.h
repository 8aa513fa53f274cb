#pragma once
// The pseudo-random overwrite used to wipe buffers and digests.
#include <cstddef>
#include <cstdint>

namespace kd {

// Overwrites each byte from a linear congruential state that the byte itself is first
// mixed into; returns the final state. A null buffer returns seed.
std::uint32_t RandomizeBuffer(std::uint32_t seed, void* buffer, std::size_t size);

// A seed from the time of day (milliseconds) mixed with the high-resolution clock.
std::uint32_t TimeSeed();

} // namespace kd
