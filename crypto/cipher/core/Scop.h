#pragma once
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// SCOP keystream generator on 128-byte blocks (32 words). `state` holds the running
// generator (start indices, start word, the G and V tables); `saved` the copy taken
// after key setup, from which every run restarts.
struct ScopCore {
    static constexpr int kWords = 388;

    std::uint32_t state[kWords];
    std::uint32_t saved[kWords];

    void setKey(const std::uint8_t* bytes, std::size_t length);
    void save();
    void restore();
    // Each call advances the generator's table V, so blocks get fresh keystream.
    void encrypt(std::uint8_t* block);
    void decrypt(std::uint8_t* block);

private:
    template <bool Encrypt> void crypt(std::uint8_t* block);
};
static_assert(sizeof(ScopCore) == 3104);

} // namespace kd::cipher
