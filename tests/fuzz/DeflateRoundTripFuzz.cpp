// Any bytes compressed at every level (0-9) come back unchanged through zlib's inflate
// and through our own.
#include "FuzzSupport.h"
#include "zip/decompress/InflateDecoder.h"
#include "zip/deflate/Deflater.h"

#include <algorithm>
#include <string>
#include <zlib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool zlibInflates(const Bytes& stream, const std::uint8_t* original, std::size_t size) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    Bytes out(size + 1); // one spare byte shows output beyond the original
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    const bool whole = status == Z_STREAM_END && z.avail_in == 0 && z.total_out == size;
    inflateEnd(&z);
    return whole && std::equal(original, original + size, out.begin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kd::Deflater deflater; // reused across entries, as an archive run does
    static kd::InflateDecoder inflater;
    // The first byte sets the size of the pieces the compressor is fed.
    const std::size_t piece = size == 0 ? 1 : std::size_t{data[0]} * 97 + 1;
    for (int level = 0; level <= 9; ++level) {
        const std::string where = "level " + std::to_string(level);
        std::size_t offset = 0;
        Bytes stream;
        kd::DeflateEntry entry;
        const std::uint64_t written = deflater.DeflateStream(
            [&](std::uint8_t* buffer, std::size_t room) {
                const std::size_t n = std::min({room, piece, size - offset});
                std::copy_n(data + offset, n, buffer);
                offset += n;
                return n;
            },
            [&](const std::uint8_t* bytes, std::size_t length) {
                stream.insert(stream.end(), bytes, bytes + length);
            },
            level, entry);
        if (written != stream.size())
            kd::fuzz::fail(where + ": the returned size is not the size written");
        if (entry.Method == 0) {
            if (stream.size() != size || !std::equal(stream.begin(), stream.end(), data))
                kd::fuzz::fail(where + ": stored data differs from the input");
            continue;
        }
        if (entry.Method != 8)
            kd::fuzz::fail(where + ": neither stored nor deflated");
        if (!zlibInflates(stream, data, size))
            kd::fuzz::fail(where + ": zlib does not inflate the stream to the input");
        kd::fuzz::BytesInput input(stream.data(), stream.size());
        kd::fuzz::CappedOutput output(size + 1);
        inflater.Run(input, output);
        if (output.bytes.size() != size ||
            !std::equal(output.bytes.begin(), output.bytes.end(), data))
            kd::fuzz::fail(where + ": our inflate does not give back the input");
    }
    return 0;
}
