#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace kd::cipher {

// Arithmetic in GF(2^8) modulo `poly` (the 9-bit polynomial, e.g. 0x1F5).
inline std::uint8_t gfMul(std::uint8_t a, std::uint8_t b, unsigned poly) {
    unsigned r = 0, x = a;
    for (; b != 0; b >>= 1) {
        if (b & 1)
            r ^= x;
        x <<= 1;
        if (x & 0x100)
            x ^= poly;
    }
    return static_cast<std::uint8_t>(r);
}

// The multiplicative inverse (a^254); 0 maps to 0.
inline std::uint8_t gfInverse(std::uint8_t a, unsigned poly) {
    std::uint8_t result = 1, base = a;
    for (unsigned e = 254; e != 0; e >>= 1) {
        if (e & 1)
            result = gfMul(result, base, poly);
        base = gfMul(base, base, poly);
    }
    return a == 0 ? 0 : result;
}

template <std::size_t N> using GfMatrix = std::array<std::array<std::uint8_t, N>, N>;

// The inverse of an invertible matrix, by Gauss-Jordan elimination.
template <std::size_t N> GfMatrix<N> gfInvert(GfMatrix<N> m, unsigned poly) {
    GfMatrix<N> inv{};
    for (std::size_t i = 0; i < N; ++i)
        inv[i][i] = 1;
    for (std::size_t col = 0; col < N; ++col) {
        std::size_t pivot = col;
        while (m[pivot][col] == 0)
            ++pivot;
        std::swap(m[pivot], m[col]);
        std::swap(inv[pivot], inv[col]);
        const std::uint8_t scale = gfInverse(m[col][col], poly);
        for (std::size_t j = 0; j < N; ++j) {
            m[col][j] = gfMul(m[col][j], scale, poly);
            inv[col][j] = gfMul(inv[col][j], scale, poly);
        }
        for (std::size_t row = 0; row < N; ++row) {
            const std::uint8_t f = m[row][col];
            if (row == col || f == 0)
                continue;
            for (std::size_t j = 0; j < N; ++j) {
                m[row][j] ^= gfMul(f, m[col][j], poly);
                inv[row][j] ^= gfMul(f, inv[col][j], poly);
            }
        }
    }
    return inv;
}

// The look-up tables of a substitution followed by the matrix m: table[j][x] is column
// j of m times s[x], row i of the column in byte i of the word, so that m applied to
// s of every byte of a state word is the XOR of table[j][byte j].
template <class Word, std::size_t N>
std::array<std::array<Word, 256>, N>
gfColumnTables(const GfMatrix<N>& m, const std::array<std::uint8_t, 256>& s, unsigned poly) {
    static_assert(sizeof(Word) == N);
    std::array<std::array<Word, 256>, N> t{};
    for (std::size_t j = 0; j < N; ++j)
        for (std::size_t x = 0; x < 256; ++x)
            for (std::size_t i = 0; i < N; ++i)
                t[j][x] |= Word{gfMul(m[i][j], s[x], poly)} << (8 * i);
    return t;
}

} // namespace kd::cipher
