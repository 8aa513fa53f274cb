#include "zip/decompress/Explode.h"

#include "zip/decompress/DecompressBitReader.h"
#include "zip/decompress/DecompressWindow.h"
#include "zip/decompress/ExplodeTree.h"

#include <optional>

namespace kd {

void Explode(DecompressInput& input, DecompressOutput& output, std::uint64_t size, unsigned flags) {
    const bool bigDictionary = (flags & 2) != 0;
    const bool literalTree = (flags & 4) != 0;
    const unsigned lowBits = bigDictionary ? 7 : 6;
    const unsigned minLength = literalTree ? 3 : 2;

    DecompressBitReader reader(input);
    DecompressWindow window(output, size);
    std::optional<ExplodeTree> literals;
    if (literalTree)
        literals.emplace(reader, 256);
    const ExplodeTree lengths(reader, 64);
    const ExplodeTree distances(reader, 64);

    while (!window.Done()) {
        if (reader.Get(1)) {
            window.Put(
                static_cast<std::uint8_t>(literals ? literals->Decode(reader) : reader.Get(8)));
            continue;
        }
        const unsigned low = reader.Get(lowBits);
        const unsigned distance = ((distances.Decode(reader) << lowBits) | low) + 1;
        unsigned length = lengths.Decode(reader);
        if (length == 63)
            length += reader.Get(8);
        window.Copy(distance, length + minLength);
    }
    window.Finish();
}

} // namespace kd
