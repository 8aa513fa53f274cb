#include "crypto/hash/SnefruTransform.h"

#include <bit>
#include <initializer_list>

#include "crypto/base/Bits.h"

namespace kd::snefru {
namespace {

constexpr int kPasses = 8;

void CompressOne(std::uint32_t* w) {
    // Words 0-7 enter as the chaining value and leave XORed with the mixed words 15-0.
    std::uint32_t entering[8];
    for (int i = 0; i < 8; ++i)
        entering[i] = w[i];
    for (int pass = 0; pass < kPasses; ++pass) {
        const std::uint32_t* boxes[2] = {kSBoxes[2 * pass], kSBoxes[2 * pass + 1]};
        for (const int shift : {16, 8, 16, 24}) {
            // Words 0-1, 4-5, 8-9 and 12-13 look up the pass's first box, the others its
            // second; each look-up goes into both neighbours.
            for (int i = 0; i < 16; ++i) {
                const std::uint32_t entry = boxes[(i >> 1) & 1][w[i] & 0xFF];
                w[(i + 1) & 15] ^= entry;
                w[(i + 15) & 15] ^= entry;
            }
            for (int i = 0; i < 16; ++i)
                w[i] = std::rotr(w[i], shift);
        }
    }
    for (int i = 0; i < 8; ++i)
        w[i] = entering[i] ^ w[15 - i];
    SecureZero(entering, sizeof entering);
}

} // namespace

void Compress(std::uint8_t* chain, const std::uint8_t* blocks, std::size_t count) {
    std::uint32_t w[16];
    for (; count > 0; --count, blocks += kBlockSize) {
        for (int i = 0; i < 8; ++i) {
            w[i] = LoadBE32(chain + 4 * i);
            w[8 + i] = LoadBE32(blocks + 4 * i);
        }
        CompressOne(w);
        for (int i = 0; i < 8; ++i)
            StoreBE32(chain + 4 * i, w[i]);
    }
    SecureZero(w, sizeof w);
}

} // namespace kd::snefru
