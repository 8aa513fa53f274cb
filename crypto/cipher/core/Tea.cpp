#include "crypto/cipher/core/Tea.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

#include <algorithm>

namespace kd::cipher {

void TeaCore::setKey(const std::uint8_t* bytes, std::size_t length, int cycleCount, bool xtea) {
    std::uint8_t padded[16];
    const WipeOnExit wipe(padded);
    padKey(padded, sizeof padded, bytes, length);
    for (int i = 0; i < 4; ++i)
        key[i] = loadLE32(padded + 4 * i);
    cycles = static_cast<std::uint32_t>(std::clamp(cycleCount, 16, 32));
    extended = xtea ? 1 : 0;
    unused[0] = unused[1] = 0;
}

void TeaCore::encrypt(std::uint8_t* block) const {
    std::uint32_t y = loadLE32(block), z = loadLE32(block + 4), sum = 0;
    const std::uint32_t* k = key;
    if (extended) {
        for (std::uint32_t n = 0; n < cycles; ++n) {
            y += (((z << 4) ^ (z >> 5)) + z) ^ (sum + k[sum & 3]);
            sum += kDelta;
            z += (((y << 4) ^ (y >> 5)) + y) ^ (sum + k[(sum >> 11) & 3]);
        }
    } else {
        for (std::uint32_t n = 0; n < cycles; ++n) {
            sum += kDelta;
            y += ((z << 4) + k[0]) ^ (z + sum) ^ ((z >> 5) + k[1]);
            z += ((y << 4) + k[2]) ^ (y + sum) ^ ((y >> 5) + k[3]);
        }
    }
    storeLE32(block, y);
    storeLE32(block + 4, z);
}

void TeaCore::decrypt(std::uint8_t* block) const {
    std::uint32_t y = loadLE32(block), z = loadLE32(block + 4), sum = kDelta * cycles;
    const std::uint32_t* k = key;
    if (extended) {
        for (std::uint32_t n = 0; n < cycles; ++n) {
            z -= (((y << 4) ^ (y >> 5)) + y) ^ (sum + k[(sum >> 11) & 3]);
            sum -= kDelta;
            y -= (((z << 4) ^ (z >> 5)) + z) ^ (sum + k[sum & 3]);
        }
    } else {
        for (std::uint32_t n = 0; n < cycles; ++n) {
            z -= ((y << 4) + k[2]) ^ (y + sum) ^ ((y >> 5) + k[3]);
            y -= ((z << 4) + k[0]) ^ (z + sum) ^ ((z >> 5) + k[1]);
            sum -= kDelta;
        }
    }
    storeLE32(block, y);
    storeLE32(block + 4, z);
}

} // namespace kd::cipher
