#include "zip/decompress/ExplodeTree.h"

#include "zip/decompress/DecompressError.h"

namespace kd {

ExplodeTree::ExplodeTree(DecompressBitReader& reader, unsigned symbols) {
    std::array<std::uint8_t, 256> lengths{};
    unsigned filled = 0;
    for (unsigned groups = reader.Get(8) + 1; groups > 0; --groups) {
        const unsigned byte = reader.Get(8);
        const unsigned repeat = (byte >> 4) + 1;
        if (repeat > symbols - filled)
            throw EBadCompressedData("implode tree has too many code lengths");
        for (unsigned i = 0; i < repeat; ++i)
            lengths[filled++] = static_cast<std::uint8_t>((byte & 15) + 1);
    }
    if (filled != symbols)
        throw EBadCompressedData("implode tree has too few code lengths");

    for (unsigned s = 0; s < symbols; ++s)
        ++counts_[lengths[s]];
    long left = 1;
    for (unsigned len = 1; len <= kMaxLength; ++len) {
        left = left * 2 - counts_[len];
        if (left < 0)
            throw EBadCompressedData("implode tree is over-subscribed");
    }
    std::array<std::uint16_t, kMaxLength + 2> offsets{};
    for (unsigned len = 1; len <= kMaxLength; ++len)
        offsets[len + 1] = static_cast<std::uint16_t>(offsets[len] + counts_[len]);
    for (unsigned s = 0; s < symbols; ++s)
        symbols_[offsets[lengths[s]]++] = static_cast<std::uint16_t>(s);
}

unsigned ExplodeTree::Decode(DecompressBitReader& reader) const {
    // Canonical decoding: `first` is the first code of each length, `index` the
    // position of its symbol. The stream holds the inverted bits.
    unsigned code = 0, first = 0, index = 0;
    for (unsigned len = 1; len <= kMaxLength; ++len) {
        code |= reader.Get(1) ^ 1;
        const unsigned count = counts_[len];
        if (code - first < count)
            return symbols_[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    throw EBadCompressedData("invalid implode code");
}

} // namespace kd
