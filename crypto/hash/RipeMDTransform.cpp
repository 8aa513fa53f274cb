#include "crypto/hash/RipeMDTransform.h"

#include "crypto/hash/RipeMDConstants.h"

#include <bit>
#include <utility>

#include "crypto/base/Bits.h"

namespace kd::ripemd {
namespace {

// The five Boolean functions, numbered 0 to 4.
template <int F> inline std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    if constexpr (F == 0)
        return x ^ y ^ z;
    else if constexpr (F == 1)
        return (x & y) | (~x & z);
    else if constexpr (F == 2)
        return (x | ~y) ^ z;
    else if constexpr (F == 3)
        return (x & z) | (y & ~z);
    else
        return x ^ (y | ~z);
}

// One step of one line on its W working words (4 for the 128/256-bit versions, 5 for
// 160/320). The words are not moved: the role of "a" passes to the previous word
// each step, so all indices are constants and the words stay in registers.
template <int W, int Rounds, bool Right, int Step>
inline void LineStep(std::uint32_t* v, const std::uint32_t* x) {
    constexpr int round = Step / 16;
    constexpr int i = Step % 16;
    constexpr int p = (W - Step % W) % W;
    constexpr int word = Right ? RightOrder[round][i] : LeftOrder[round][i];
    constexpr int shift = WordShift[round][word];
    // The right line takes the functions in reverse order.
    constexpr int function = Right ? Rounds - 1 - round : round;
    constexpr std::uint32_t k = Right ? RightConstant(round, Rounds) : LeftConstant(round);
    std::uint32_t& a = v[p];
    std::uint32_t& c = v[(p + 2) % W];
    std::uint32_t t = a + Mix<function>(v[(p + 1) % W], c, v[(p + 3) % W]) + x[word] + k;
    if constexpr (W == 5) {
        a = std::rotl(t, shift) + v[(p + 4) % W];
        c = std::rotl(c, 10);
    } else {
        a = std::rotl(t, shift);
    }
}

template <int W, int Rounds, bool Double, int Step>
inline void BothLines(std::uint32_t* left, std::uint32_t* right, const std::uint32_t* x) {
    LineStep<W, Rounds, false, Step>(left, x);
    LineStep<W, Rounds, true, Step>(right, x);
    // The double-width versions exchange one word between the lines after each
    // round: a after the first, b after the second, and so on.
    if constexpr (Double && Step % 16 == 15)
        std::swap(left[Step / 16], right[Step / 16]);
}

template <int W, int Rounds, bool Double, int... Steps>
inline void AllSteps(std::uint32_t* left, std::uint32_t* right, const std::uint32_t* x,
                     std::integer_sequence<int, Steps...>) {
    (BothLines<W, Rounds, Double, Steps>(left, right, x), ...);
}

// Double-width versions keep both lines' results in separate halves of the chain;
// the single-width ones combine the two lines into one chaining value.
template <int W, int Rounds, bool Double>
void CompressBlocks(std::uint32_t* h, const std::uint8_t* data, std::size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i)
            x[i] = LoadLE32(data + 4 * i);
        std::uint32_t left[W];
        std::uint32_t right[W];
        for (int i = 0; i < W; ++i) {
            left[i] = h[i];
            right[i] = h[Double ? W + i : i];
        }
        AllSteps<W, Rounds, Double>(left, right, x, std::make_integer_sequence<int, 16 * Rounds>{});
        if constexpr (Double) {
            for (int i = 0; i < W; ++i) {
                h[i] += left[i];
                h[W + i] += right[i];
            }
        } else {
            std::uint32_t first = h[1] + left[2] + right[3];
            for (int i = 1; i < W; ++i)
                h[i] = h[(i + 1) % W] + left[(i + 2) % W] + right[(i + 3) % W];
            h[0] = first;
        }
    }
}

} // namespace

void Compress128(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks) {
    CompressBlocks<4, 4, false>(chain, data, blocks);
}
void Compress160(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks) {
    CompressBlocks<5, 5, false>(chain, data, blocks);
}
void Compress256(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks) {
    CompressBlocks<4, 4, true>(chain, data, blocks);
}
void Compress320(std::uint32_t* chain, const std::uint8_t* data, std::size_t blocks) {
    CompressBlocks<5, 5, true>(chain, data, blocks);
}

} // namespace kd::ripemd
