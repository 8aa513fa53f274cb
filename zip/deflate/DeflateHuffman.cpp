#include "zip/deflate/DeflateHuffman.h"

#include <algorithm>
#include <cassert>

namespace kd {

namespace {

constexpr unsigned MaxSymbols = 288;

// Depth of every leaf in a Huffman tree built over leaves sorted by ascending weight
// (the two-queue method: merged nodes are created in ascending weight order too).
void huffmanDepths(const std::uint32_t* weights, unsigned leaves, unsigned* depth) {
    std::uint32_t nodeWeight[2 * MaxSymbols];
    unsigned parent[2 * MaxSymbols];
    for (unsigned i = 0; i < leaves; ++i)
        nodeWeight[i] = weights[i];
    unsigned nextLeaf = 0, nextNode = leaves;
    auto takeLightest = [&](unsigned created) {
        if (nextLeaf < leaves &&
            (nextNode >= created || nodeWeight[nextLeaf] <= nodeWeight[nextNode]))
            return nextLeaf++;
        return nextNode++;
    };
    for (unsigned created = leaves; created < 2 * leaves - 1; ++created) {
        const unsigned a = takeLightest(created);
        const unsigned b = takeLightest(created);
        nodeWeight[created] = nodeWeight[a] + nodeWeight[b];
        parent[a] = parent[b] = created;
    }
    const unsigned root = 2 * leaves - 2;
    depth[root] = 0;
    for (unsigned n = root; n-- > 0;)
        depth[n] = depth[parent[n]] + 1;
}

} // namespace

unsigned buildCodeLengths(const std::uint32_t* frequencies, unsigned count, unsigned maxBits,
                          std::uint8_t* lengths) {
    assert(count <= MaxSymbols && maxBits <= 15);
    // Used symbols sorted by frequency (ties by symbol), packed as frequency:symbol.
    std::uint64_t order[MaxSymbols];
    unsigned used = 0;
    for (unsigned s = 0; s < count; ++s) {
        lengths[s] = 0;
        if (frequencies[s] != 0)
            order[used++] = (std::uint64_t{frequencies[s]} << 16) | s;
    }
    unsigned last = count;
    if (used < 2) {
        // Fewer than two symbols: the lowest unused symbols fill the code up to two.
        for (unsigned s = 0; s < count; ++s)
            if (frequencies[s] != 0)
                lengths[s] = 1;
        for (unsigned s = 0; used < 2; ++s)
            if (lengths[s] == 0) {
                lengths[s] = 1;
                ++used;
            }
        while (lengths[last - 1] == 0)
            --last;
        return last;
    }
    std::sort(order, order + used);

    std::uint32_t weights[MaxSymbols];
    for (unsigned i = 0; i < used; ++i)
        weights[i] = static_cast<std::uint32_t>(order[i] >> 16);
    unsigned depth[2 * MaxSymbols];
    huffmanDepths(weights, used, depth);

    // Count leaves per length, folding over-long ones into maxBits, then restore the
    // Kraft sum: each step moves one leaf a level down to make room for one from the top.
    unsigned perLength[64] = {};
    for (unsigned i = 0; i < used; ++i)
        ++perLength[std::min(depth[i], maxBits)];
    std::uint32_t kraft = 0;
    for (unsigned bits = 1; bits <= maxBits; ++bits)
        kraft += perLength[bits] << (maxBits - bits);
    while (kraft > (1u << maxBits)) {
        --perLength[maxBits];
        for (unsigned bits = maxBits - 1; bits > 0; --bits)
            if (perLength[bits] != 0) {
                --perLength[bits];
                perLength[bits + 1] += 2;
                break;
            }
        --kraft;
    }

    // The rarest symbols take the longest codes.
    unsigned next = 0;
    for (unsigned bits = maxBits; bits > 0; --bits)
        for (unsigned n = perLength[bits]; n > 0; --n)
            lengths[order[next++] & 0xFFFF] = static_cast<std::uint8_t>(bits);
    while (lengths[last - 1] == 0)
        --last;
    return last;
}

} // namespace kd
