// Any bytes compressed in parts on several threads give exactly what the streaming
// compressor gives. The first byte picks the level (4-9) and the size of the parts, so
// that parses are joined at every kind of place.
#include "FuzzSupport.h"
#include "zip/deflate/Deflater.h"

#include <algorithm>
#include <atomic>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Output {
    Bytes bytes;
    kd::DeflateEntry entry;
    std::vector<std::size_t> reads;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int level = 4 + data[0] % 6;
    const std::uint64_t part = 1 + std::uint64_t{data[0]} / 6 * 131;
    ++data;
    --size;
    static kd::Deflater streaming, inParts;
    inParts.SetSegmentSize(part);
    Output a, b;
    std::size_t offset = 0;
    streaming.DeflateStream(
        [&](std::uint8_t* buffer, std::size_t room) {
            const std::size_t n = std::min(room, size - offset);
            std::copy_n(data + offset, n, buffer);
            offset += n;
            if (n > 0)
                a.reads.push_back(n);
            return n;
        },
        [&](const std::uint8_t* bytes, std::size_t n) {
            a.bytes.insert(a.bytes.end(), bytes, bytes + n);
        },
        level, a.entry);
    Bytes padded(data, data + size);
    padded.resize(size + kd::DeflateReadSlack);
    const std::atomic<bool> cancel = false;
    inParts.DeflateInMemory(
        padded.data(), size, level, 3,
        [&](const std::uint8_t* bytes, std::size_t n) {
            b.bytes.insert(b.bytes.end(), bytes, bytes + n);
        },
        b.entry, [&](std::size_t n) { b.reads.push_back(n); }, cancel);
    const std::string where =
        "level " + std::to_string(level) + ", parts of " + std::to_string(part);
    if (a.bytes != b.bytes)
        kd::fuzz::fail(where + ": the bytes differ");
    if (a.entry.Method != b.entry.Method || a.entry.Flags != b.entry.Flags ||
        a.entry.InternalAttributes != b.entry.InternalAttributes)
        kd::fuzz::fail(where + ": the entry's method, flags or text guess differ");
    if (a.reads != b.reads)
        kd::fuzz::fail(where + ": the progress pieces differ");
    return 0;
}
