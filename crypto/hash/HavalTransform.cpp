#include "crypto/hash/HavalTransform.h"

#include "crypto/hash/HavalPiWords.h"

#include <bit>
#include <cstring>
#include <utility>

#include "crypto/base/Bits.h"

namespace kd::haval {
namespace {

using Word = std::uint32_t;

// The five Boolean functions F1-F5 of seven words, arguments in the order x6 ... x0.
template <int F>
inline Word Boolean(Word x6, Word x5, Word x4, Word x3, Word x2, Word x1, Word x0) {
    if constexpr (F == 1)
        return (x1 & (x0 ^ x4)) ^ (x2 & x5) ^ (x3 & x6) ^ x0;
    else if constexpr (F == 2)
        return (x2 & ((x1 & ~x3) ^ (x4 & x5) ^ x6 ^ x0)) ^ (x4 & (x1 ^ x5)) ^ (x3 & x5) ^ x0;
    else if constexpr (F == 3)
        return (x3 & ((x1 & x2) ^ x6 ^ x0)) ^ (x1 & x4) ^ (x2 & x5) ^ x0;
    else if constexpr (F == 4)
        return (x4 & ((x5 & ~x2) ^ (x3 & ~x6) ^ x1 ^ x6 ^ x0)) ^ (x3 & ((x1 & x2) ^ x5 ^ x6)) ^
               (x2 & x6) ^ x0;
    else
        return (x0 & ~((x1 & x2 & x3) ^ x5)) ^ (x1 & x4) ^ (x2 & x5) ^ (x3 & x6);
}

// The permutation phi applied before F in each pass: for each argument of F (x6 ... x0)
// the index of the chaining word it takes.
using Phi = std::uint8_t[7];
inline constexpr Phi PhiOf[3][5] = {
    {{1, 0, 3, 5, 6, 2, 4}, {4, 2, 1, 0, 5, 3, 6}, {6, 1, 2, 3, 4, 5, 0}},
    {{2, 6, 1, 4, 5, 3, 0}, {3, 5, 2, 0, 1, 6, 4}, {1, 4, 3, 6, 0, 2, 5}, {6, 4, 0, 5, 2, 1, 3}},
    {{3, 4, 1, 0, 5, 2, 6},
     {6, 2, 1, 0, 3, 4, 5},
     {2, 6, 0, 4, 3, 1, 5},
     {1, 5, 3, 2, 0, 4, 6},
     {2, 5, 0, 6, 4, 3, 1}},
};

// Message word order of passes 2-5 (pass 1 takes the words in order).
inline constexpr std::uint8_t WordOrder[4][32] = {
    {5,  14, 26, 18, 11, 28, 7,  16, 0,  23, 20, 22, 1, 10, 4,  8,
     30, 3,  21, 9,  17, 24, 29, 6,  19, 12, 15, 13, 2, 25, 31, 27},
    {19, 9,  4, 20, 28, 17, 8,  22, 29, 14, 25, 12, 24, 30, 16, 26,
     31, 15, 7, 3,  1,  0,  18, 27, 13, 6,  21, 10, 23, 11, 5,  2},
    {24, 4,  0,  14, 2, 7,  28, 23, 26, 6,  30, 20, 18, 25, 19, 3,
     22, 11, 31, 21, 8, 27, 12, 9,  1,  29, 5,  15, 17, 10, 16, 13},
    {27, 3, 21, 26, 17, 11, 20, 29, 19, 0,  12, 7,  13, 8, 31, 10,
     5,  9, 14, 30, 18, 6,  28, 24, 2,  23, 16, 22, 4,  1, 25, 15},
};

// One step. The eight words are not moved: the word written (x7's role) moves one
// word down each step, so indices are constants.
template <int Passes, int Step>
inline void Round(Word* t, const Word* x, const std::uint32_t* constants) {
    constexpr int pass = Step / 32;
    constexpr int i = Step % 32;
    constexpr auto& phi = PhiOf[Passes - 3][pass];
    // Chaining word in the role of x_j at this step.
    constexpr auto at = [](int j) { return ((j - Step) % 8 + 8) % 8; };
    Word f = Boolean<pass + 1>(t[at(phi[0])], t[at(phi[1])], t[at(phi[2])], t[at(phi[3])],
                               t[at(phi[4])], t[at(phi[5])], t[at(phi[6])]);
    Word& x7 = t[at(7)];
    if constexpr (pass == 0)
        x7 = std::rotr(f, 7) + std::rotr(x7, 11) + x[i];
    else
        x7 = std::rotr(f, 7) + std::rotr(x7, 11) + x[WordOrder[pass - 1][i]] +
             constants[8 + 32 * (pass - 1) + i];
}

template <int Passes, int... Steps>
inline void AllRounds(Word* t, const Word* x, const std::uint32_t* constants,
                      std::integer_sequence<int, Steps...>) {
    (Round<Passes, Steps>(t, x, constants), ...);
}

template <int Passes> void CompressBlocks(Word* h, const std::uint8_t* data, std::size_t blocks) {
    const std::uint32_t* constants = PiFractionWords().data();
    for (; blocks > 0; --blocks, data += 128) {
        Word x[32];
        for (int i = 0; i < 32; ++i)
            x[i] = LoadLE32(data + 4 * i);
        Word t[8];
        std::memcpy(t, h, sizeof t);
        AllRounds<Passes>(t, x, constants, std::make_integer_sequence<int, 32 * Passes>{});
        for (int i = 0; i < 8; ++i)
            h[i] += t[i];
    }
}

} // namespace

Compress CompressFor(int passes) {
    switch (passes) {
    case 3:
        return CompressBlocks<3>;
    case 4:
        return CompressBlocks<4>;
    default:
        return CompressBlocks<5>;
    }
}

void Fold(Word* h, std::size_t digestBytes) {
    // The words beyond the digest are cut into pieces and added into the digest words.
    switch (digestBytes) {
    case 16: {
        Word t;
        t = (h[7] & 0x000000FF) | (h[6] & 0xFF000000) | (h[5] & 0x00FF0000) | (h[4] & 0x0000FF00);
        h[0] += std::rotr(t, 8);
        t = (h[7] & 0x0000FF00) | (h[6] & 0x000000FF) | (h[5] & 0xFF000000) | (h[4] & 0x00FF0000);
        h[1] += std::rotr(t, 16);
        t = (h[7] & 0x00FF0000) | (h[6] & 0x0000FF00) | (h[5] & 0x000000FF) | (h[4] & 0xFF000000);
        h[2] += std::rotr(t, 24);
        t = (h[7] & 0xFF000000) | (h[6] & 0x00FF0000) | (h[5] & 0x0000FF00) | (h[4] & 0x000000FF);
        h[3] += t;
        break;
    }
    case 20: {
        Word t;
        t = (h[7] & 0x3Fu) | (h[6] & (0x7Fu << 25)) | (h[5] & (0x3Fu << 19));
        h[0] += std::rotr(t, 19);
        t = (h[7] & (0x3Fu << 6)) | (h[6] & 0x3Fu) | (h[5] & (0x7Fu << 25));
        h[1] += std::rotr(t, 25);
        t = (h[7] & (0x7Fu << 12)) | (h[6] & (0x3Fu << 6)) | (h[5] & 0x3Fu);
        h[2] += t;
        t = (h[7] & (0x3Fu << 19)) | (h[6] & (0x7Fu << 12)) | (h[5] & (0x3Fu << 6));
        h[3] += t >> 6;
        t = (h[7] & (0x7Fu << 25)) | (h[6] & (0x3Fu << 19)) | (h[5] & (0x7Fu << 12));
        h[4] += t >> 12;
        break;
    }
    case 24: {
        Word t;
        t = (h[7] & 0x1Fu) | (h[6] & (0x3Fu << 26));
        h[0] += std::rotr(t, 26);
        t = (h[7] & (0x1Fu << 5)) | (h[6] & 0x1Fu);
        h[1] += t;
        t = (h[7] & (0x3Fu << 10)) | (h[6] & (0x1Fu << 5));
        h[2] += t >> 5;
        t = (h[7] & (0x1Fu << 16)) | (h[6] & (0x3Fu << 10));
        h[3] += t >> 10;
        t = (h[7] & (0x1Fu << 21)) | (h[6] & (0x1Fu << 16));
        h[4] += t >> 16;
        t = (h[7] & (0x3Fu << 26)) | (h[6] & (0x1Fu << 21));
        h[5] += t >> 21;
        break;
    }
    case 28:
        h[0] += (h[7] >> 27) & 0x1F;
        h[1] += (h[7] >> 22) & 0x1F;
        h[2] += (h[7] >> 18) & 0x0F;
        h[3] += (h[7] >> 13) & 0x1F;
        h[4] += (h[7] >> 9) & 0x0F;
        h[5] += (h[7] >> 4) & 0x1F;
        h[6] += h[7] & 0x0F;
        break;
    default:
        break;
    }
}

} // namespace kd::haval
