#include "crypto/cipher/core/Blowfish.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/PiDigits.h"
#include "crypto/cipher/core/Words.h"

#include <algorithm>

namespace kd::cipher {

void BlowfishCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    // The initial P-array and S-boxes are the fraction of pi, word after word.
    const std::vector<std::uint32_t>& pi = piFractionWords(18 + 4 * 256);
    std::copy_n(pi.begin(), 18, p);
    for (int b = 0; b < 4; ++b)
        std::copy_n(pi.begin() + 18 + 256 * b, 256, s[b]);

    std::size_t j = 0;
    std::uint32_t data = 0;
    const WipeOnExit wipe(data);
    for (std::uint32_t& entry : p) {
        data = 0;
        for (int k = 0; k < 4; ++k) {
            data = data << 8 | bytes[j];
            j = j + 1 == length ? 0 : j + 1;
        }
        entry ^= data;
    }
    std::uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        encryptHalves(l, r);
        p[i] = l;
        p[i + 1] = r;
    }
    for (auto& box : s)
        for (int i = 0; i < 256; i += 2) {
            encryptHalves(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
}

} // namespace kd::cipher
