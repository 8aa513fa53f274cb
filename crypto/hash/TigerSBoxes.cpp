#include "crypto/hash/TigerTransform.h"

#include <cstring>

namespace kd::tiger {
namespace {

// Byte `column` (0 the least significant) of entry `row` of the tables.
std::uint64_t Cell(const SBoxes& boxes, int row, int column) {
    return (boxes[static_cast<std::size_t>(row)] >> (8 * column)) & 0xFF;
}
void SetCell(SBoxes& boxes, int row, int column, std::uint64_t value) {
    auto& entry = boxes[static_cast<std::size_t>(row)];
    entry = (entry & ~(std::uint64_t{0xFF} << (8 * column))) | (value << (8 * column));
}

// The designers' generation procedure: every byte column of each S-box starts as the
// identity (entry i holds i in all eight bytes) and is shuffled by swaps whose
// positions come from the chaining words of Tiger itself, compressing a fixed
// 64-character text again and again with the tables as they stand so far.
SBoxes Generate() {
    static const char text[] = "Tiger - A Fast New Hash Function, by Ross Anderson and Eli Biham";
    static_assert(sizeof text == 64 + 1);
    SBoxes boxes{};
    for (int i = 0; i < 4 * 256; ++i)
        for (int column = 0; column < 8; ++column)
            SetCell(boxes, i, column, static_cast<std::uint64_t>(i & 0xFF));
    std::uint64_t state[3] = {0x0123456789ABCDEF, 0xFEDCBA9876543210, 0xF096A5B4C3B2E187};
    std::uint8_t block[64];
    std::memcpy(block, text, sizeof block);
    int word = 2;
    for (int round = 0; round < 5; ++round)
        for (int i = 0; i < 256; ++i)
            for (int box = 0; box < 4 * 256; box += 256) {
                if (++word == 3) {
                    word = 0;
                    Compress(state, block, 1, 3, boxes);
                }
                for (int column = 0; column < 8; ++column) {
                    int other = box + static_cast<int>((state[word] >> (8 * column)) & 0xFF);
                    const std::uint64_t held = Cell(boxes, box + i, column);
                    SetCell(boxes, box + i, column, Cell(boxes, other, column));
                    SetCell(boxes, other, column, held);
                }
            }
    return boxes;
}

} // namespace

const SBoxes& Boxes() {
    static const SBoxes boxes = Generate();
    return boxes;
}

} // namespace kd::tiger
