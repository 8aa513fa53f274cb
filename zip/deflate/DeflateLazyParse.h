#pragma once
#include "zip/deflate/DeflateMatcher.h"

namespace kd {

// The parse of the lazy levels (4-9): a match is taken only when the next position
// offers no longer one. One loop serves the streaming compressor and the parallel one,
// so that both make the same items from the same bytes.
//
// Input supplies the window: window(), and refill(position, lookahead), called when
// fewer than DeflateMinLookahead bytes are ahead; it may move the window down (then
// it lowers position and calls the matcher's slide()) and returns false at the end of
// the data. Output takes the items: literal(byte, position) and match(distance,
// lengthMinus3, position) get the window position just past the item's first byte
// and return true when the block must end at flush(position); lastLiteral(byte,
// position) takes a literal left at the end of the data. After every match the parse
// is in its starting state: Output::stopAfterMatch(position) may end it there.
// Returns the position where the parse ended.
template <class Input, class Output>
unsigned parseLazy(DeflateMatcher& matcher, Input& input, Output& output, unsigned position,
                   unsigned lookahead) {
    const unsigned maxLazy = matcher.level().maxLazy;
    unsigned length = DeflateMinMatch - 1;
    bool pending = false; // the byte before position still waits to be emitted
    for (;;) {
        if (lookahead < DeflateMinLookahead && !input.refill(position, lookahead))
            break;
        const std::uint8_t* const window = input.window();
        const unsigned head = lookahead >= DeflateMinMatch ? matcher.insert(window, position) : 0;
        const unsigned prevLength = length;
        const unsigned prevStart = matcher.matchStart;
        length = DeflateMinMatch - 1;
        if (head != 0 && prevLength < maxLazy && position - head <= DeflateMaxDistance) {
            length = matcher.longest(window, head, prevLength, position, lookahead);
            if (length == DeflateMinMatch && position - matcher.matchStart > DeflateTooFar)
                length = DeflateMinMatch - 1;
        }
        if (prevLength >= DeflateMinMatch && length <= prevLength) {
            const unsigned lastInsert = position + lookahead - DeflateMinMatch;
            const bool full =
                output.match(position - 1 - prevStart, prevLength - DeflateMinMatch, position);
            // The match covers position - 1 .. position + prevLength - 2; position is
            // hashed already.
            lookahead -= prevLength - 1;
            const unsigned end = position + prevLength - 1;
            for (++position; position < end; ++position)
                if (position <= lastInsert)
                    matcher.insert(window, position);
            pending = false;
            length = DeflateMinMatch - 1;
            if (full)
                output.flush(position);
            if (output.stopAfterMatch(position))
                return position;
        } else {
            if (pending && output.literal(window[position - 1], position))
                output.flush(position);
            pending = true;
            ++position;
            --lookahead;
        }
    }
    if (pending)
        output.lastLiteral(input.window()[position - 1], position);
    return position;
}

} // namespace kd
