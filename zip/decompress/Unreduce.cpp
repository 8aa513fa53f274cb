#include "zip/decompress/Unreduce.h"

#include "zip/decompress/DecompressBitReader.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/DecompressWindow.h"

#include <algorithm>
#include <array>
#include <bit>

namespace kd {

namespace {

constexpr std::uint8_t kRepeatMark = 144;

// The follower set of each byte: the bytes likely to come after it, each reachable
// by a short index.
class FollowerSets {
public:
    explicit FollowerSets(DecompressBitReader& reader) {
        for (int c = 255; c >= 0; --c) {
            auto& set = sets_[static_cast<std::size_t>(c)];
            set.count = reader.Get(6);
            for (unsigned i = 0; i < set.count; ++i)
                set.bytes[i] = static_cast<std::uint8_t>(reader.Get(8));
        }
    }

    std::uint8_t Next(DecompressBitReader& reader, std::uint8_t last) const {
        const Set& set = sets_[last];
        if (set.count == 0 || reader.Get(1))
            return static_cast<std::uint8_t>(reader.Get(8));
        const unsigned bits = std::max(1u, static_cast<unsigned>(std::bit_width(set.count - 1)));
        const unsigned index = reader.Get(bits);
        if (index >= set.count)
            throw EBadCompressedData("follower index out of range");
        return set.bytes[index];
    }

private:
    struct Set {
        unsigned count = 0;
        std::array<std::uint8_t, 64> bytes{};
    };
    std::array<Set, 256> sets_;
};

} // namespace

void Unreduce(DecompressInput& input, DecompressOutput& output, std::uint64_t size,
              unsigned factor) {
    if (factor < 1 || factor > 4)
        throw EBadCompressedData("reduce factor out of range");
    DecompressBitReader reader(input);
    DecompressWindow window(output, size);
    const FollowerSets followers(reader);
    const unsigned lengthMask = 0xFFu >> factor;

    enum class State { Byte, AfterMark, LengthByte, Distance } state = State::Byte;
    std::uint8_t last = 0;
    unsigned mark = 0, length = 0;
    while (!window.Done()) {
        const std::uint8_t c = followers.Next(reader, last);
        last = c;
        switch (state) {
        case State::Byte:
            if (c == kRepeatMark)
                state = State::AfterMark;
            else
                window.Put(c);
            break;
        case State::AfterMark:
            if (c == 0) {
                window.Put(kRepeatMark);
                state = State::Byte;
            } else {
                mark = c;
                length = c & lengthMask;
                state = length == lengthMask ? State::LengthByte : State::Distance;
            }
            break;
        case State::LengthByte:
            length += c;
            state = State::Distance;
            break;
        case State::Distance:
            window.Copy(((mark >> (8 - factor)) << 8) + c + 1, length + 3);
            state = State::Byte;
            break;
        }
    }
    window.Finish();
}

} // namespace kd
