#pragma once
#include <array>
#include <cstdint>

namespace kd::square {

// The Square block cipher (128-bit block and key, eight rounds), encryption only.
// The 16 bytes form a 4x4 matrix, row i being bytes 4i to 4i+3.
class SquareCipher {
public:
    explicit SquareCipher(const std::uint8_t* key);
    void Encrypt(const std::uint8_t* in, std::uint8_t* out) const;

private:
    using Block = std::array<std::uint8_t, 16>;
    std::array<Block, 9> roundKeys_;
};

} // namespace kd::square
