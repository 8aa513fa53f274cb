#include "zip/decompress/InflateBlockSearch.h"

#include <array>
#include <cstring>

namespace kd {

namespace {

// The bits from bit on, least significant first: at least 57 of them are valid.
inline std::uint64_t BitsAt(const std::uint8_t* data, std::uint64_t bit) {
    std::uint64_t word;
    std::memcpy(&word, data + bit / 8, sizeof word);
    return word >> (bit % 8);
}

// Whether the first 13 bits of a header could start a block with its own codes:
// BFINAL 0, BTYPE 2, at most 286 literal/length and 30 distance codes.
constexpr std::array<bool, 1 << 13> kPlausibleStart = [] {
    std::array<bool, 1 << 13> plausible{};
    for (unsigned bits = 0; bits < plausible.size(); ++bits)
        plausible[bits] = (bits & 7) == 4 && ((bits >> 3) & 31) <= 29 && ((bits >> 8) & 31) <= 29;
    return plausible;
}();

// The code space, in units of 2^-7, that four code lengths of 3 bits take.
constexpr std::array<std::uint16_t, 1 << 12> kSpaceOfFour = [] {
    std::array<std::uint16_t, 1 << 12> space{};
    for (unsigned bits = 0; bits < space.size(); ++bits)
        for (unsigned i = 0; i < 4; ++i)
            if (const unsigned length = (bits >> (3 * i)) & 7)
                space[bits] = static_cast<std::uint16_t>(space[bits] + (128u >> length));
    return space;
}();

// The code-length code, HCLEN + 4 lengths of 3 bits, must fill its code space exactly
// (a Deflate encoder always gives it at least two codes).
bool CompleteCodeLengthCode(std::uint64_t lengths, unsigned count) {
    lengths &= (std::uint64_t{1} << (3 * count)) - 1;
    unsigned space = 0;
    for (unsigned shift = 0; shift < 60; shift += 12)
        space += kSpaceOfFour[(lengths >> shift) & 0xFFF];
    return space == 128;
}

} // namespace

std::optional<std::uint64_t> FindDynamicBlock(std::span<const std::uint8_t> data,
                                              std::uint64_t from, std::uint64_t to) {
    // The header reaches at most 74 bits on; each word read takes 8 bytes.
    constexpr std::uint64_t kReach = 17 + 8 * 8;
    const std::uint64_t last = data.size() * 8 >= kReach ? data.size() * 8 - kReach : 0;
    for (std::uint64_t bit = from; bit < to && bit <= last; ++bit) {
        const std::uint64_t head = BitsAt(data.data(), bit);
        if (!kPlausibleStart[head & ((1u << 13) - 1)])
            continue;
        const unsigned codeLengthCount = static_cast<unsigned>((head >> 13) & 15) + 4;
        if (CompleteCodeLengthCode(BitsAt(data.data(), bit + 17), codeLengthCount))
            return bit;
    }
    return std::nullopt;
}

} // namespace kd
