// Any bytes as a Deflate stream: either a clean refusal or the bytes zlib decodes.
#include "FuzzSupport.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/InflateDecoder.h"

#include <optional>
#include <zlib.h>

namespace {

// zlib's raw inflate of the stream up to its final block; nullopt when it refuses.
std::optional<std::vector<std::uint8_t>> zlibInflate(const std::uint8_t* data, std::size_t size,
                                                     std::size_t limit) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return std::nullopt;
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> chunk(1 << 16);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    while (status == Z_OK && out.size() <= limit) {
        z.next_out = chunk.data();
        z.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk.data(), z.next_out);
        if (status == Z_BUF_ERROR && z.avail_in == 0)
            break;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kd::InflateDecoder decoder; // reused, as an extraction run does
    kd::fuzz::BytesInput input(data, size, size % 7 == 0 ? 1 : 4096);
    kd::fuzz::CappedOutput output;
    try {
        decoder.Run(input, output);
    } catch (const kd::fuzz::OutputLimitReached&) {
        return 0;
    } catch (const kd::EBadCompressedData&) {
        return 0;
    }
    const auto expected = zlibInflate(data, size, output.bytes.size());
    if (expected && *expected != output.bytes)
        kd::fuzz::fail("inflate and zlib decode the stream differently");
    return 0;
}
