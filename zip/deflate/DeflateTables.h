#pragma once
#include <array>
#include <cstdint>

namespace kd::deflate_tables {

// Alphabet sizes of the Deflate format.
inline constexpr unsigned LiteralCodes = 286; // 0-255 literals, 256 end of block, 257-285 lengths
inline constexpr unsigned FixedLiteralCodes = 288;
inline constexpr unsigned EndOfBlock = 256;
inline constexpr unsigned LengthCodes = 29;
inline constexpr unsigned DistanceCodes = 30;
inline constexpr unsigned BitLengthCodes = 19;
inline constexpr unsigned MaxBits = 15;
inline constexpr unsigned MaxBitLengthBits = 7;

inline constexpr std::array<std::uint16_t, LengthCodes> LengthBase = {
    3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
    31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
inline constexpr std::array<std::uint8_t, LengthCodes> LengthExtra = {
    0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
inline constexpr std::array<std::uint16_t, DistanceCodes> DistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
inline constexpr std::array<std::uint8_t, DistanceCodes> DistanceExtra = {
    0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// Order in which the bit-length code lengths are sent.
inline constexpr std::array<std::uint8_t, BitLengthCodes> BitLengthOrder = {
    16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Length code (0-28) of a match length minus 3.
inline constexpr std::array<std::uint8_t, 256> LengthCodeOf = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned code = 0; code < LengthCodes - 1; ++code)
        for (unsigned n = 0; n < (1u << LengthExtra[code]); ++n)
            table[LengthBase[code] - 3 + n] = static_cast<std::uint8_t>(code);
    table[255] = LengthCodes - 1; // 258 has its own code
    return table;
}();

// Distance code of (distance - 1): entry d below 256, else entry 256 + (d >> 7).
inline constexpr std::array<std::uint8_t, 512> DistanceCodeTable = [] {
    std::array<std::uint8_t, 512> table{};
    for (unsigned code = 0; code < DistanceCodes; ++code) {
        // Past 256 only every 128th distance names a new slot (compilers limit the steps
        // of a constant expression, so the others are skipped).
        const unsigned step = DistanceBase[code] > 256 ? 128 : 1;
        for (unsigned n = 0; n < (1u << DistanceExtra[code]); n += step) {
            const unsigned d = DistanceBase[code] - 1 + n;
            table[d < 256 ? d : 256 + (d >> 7)] = static_cast<std::uint8_t>(code);
        }
    }
    return table;
}();

inline unsigned distanceCode(unsigned distanceMinusOne) {
    return DistanceCodeTable[distanceMinusOne < 256 ? distanceMinusOne
                                                    : 256 + (distanceMinusOne >> 7)];
}

} // namespace kd::deflate_tables
