#include "zip/support/DecompressTestSupport.h"

#include "zip/decompress/Decompressor.h"
#include "zip/format/Crc32.h"

#include <gtest/gtest.h>
#include <map>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <zlib.h>

namespace kd::test {

std::size_t MemoryInput::Read(std::uint8_t* buffer, std::size_t capacity) {
    const std::size_t n = std::min({capacity, piece_, data_.size() - pos_});
    std::copy_n(data_.begin() + static_cast<std::ptrdiff_t>(pos_), n, buffer);
    pos_ += n;
    return n;
}

Bytes ZlibDeflate(const Bytes& data, int level, int windowBits, int strategy) {
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -windowBits, 8, strategy) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    Bytes out(deflateBound(&z, data.size()) + 64);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate failed");
    return out;
}

std::optional<Bytes> ZlibInflate(const Bytes& stream) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        throw std::runtime_error("inflateInit2 failed");
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    Bytes out;
    std::uint8_t buffer[16384];
    int rc;
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (rc == Z_OK);
    inflateEnd(&z);
    if (rc != Z_STREAM_END)
        return std::nullopt;
    return out;
}

Bytes TextLikeData(std::size_t size, unsigned seed) {
    static const char* const words[] = {"zip ", "archive ", "backup ",     "the ",
                                        "of ",  "data ",    "entry\n",     "kordyne ",
                                        "and ", "x",        "0123456789 ", "{ return value; }\n",
                                        "\t"};
    std::mt19937 rng(seed);
    Bytes out;
    while (out.size() < size) {
        const char* w = words[rng() % std::size(words)];
        if (rng() % 17 == 0)
            out.push_back(static_cast<std::uint8_t>(rng()));
        while (*w && out.size() < size)
            out.push_back(static_cast<std::uint8_t>(*w++));
    }
    return out;
}

Bytes RandomData(std::size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(size);
    for (auto& b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

namespace {
std::uint32_t Le(const Bytes& b, std::size_t at, int size) {
    if (at + static_cast<std::size_t>(size) > b.size())
        throw std::runtime_error("ZIP record out of range");
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return v;
}
} // namespace

std::vector<ZipTestEntry> ReadZipEntries(const std::string& path) {
    const Bytes zip = ReadWholeFile(path);
    std::size_t end = zip.size() < 22 ? throw std::runtime_error("not a ZIP") : zip.size() - 22;
    while (Le(zip, end, 4) != 0x06054b50)
        if (end-- == 0)
            throw std::runtime_error("no end of central directory");
    const unsigned count = Le(zip, end + 10, 2);
    std::size_t at = Le(zip, end + 16, 4);
    std::vector<ZipTestEntry> entries;
    for (unsigned i = 0; i < count; ++i) {
        if (Le(zip, at, 4) != 0x02014b50)
            throw std::runtime_error("bad central header");
        ZipTestEntry e;
        e.flags = Le(zip, at + 8, 2);
        e.method = Le(zip, at + 10, 2);
        e.dosTime = Le(zip, at + 12, 4);
        e.crc = Le(zip, at + 16, 4);
        const std::uint32_t packed = Le(zip, at + 20, 4);
        e.uncompressedSize = Le(zip, at + 24, 4);
        const unsigned nameLength = Le(zip, at + 28, 2);
        const std::size_t next = at + 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
        e.name.assign(zip.begin() + static_cast<std::ptrdiff_t>(at + 46),
                      zip.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength));
        const std::size_t local = Le(zip, at + 42, 4);
        const std::size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
        if (data + packed > zip.size())
            throw std::runtime_error("entry data out of range");
        e.data.assign(zip.begin() + static_cast<std::ptrdiff_t>(data),
                      zip.begin() + static_cast<std::ptrdiff_t>(data + packed));
        entries.push_back(std::move(e));
        at = next;
    }
    return entries;
}

Bytes Decode(unsigned method, const Bytes& data, std::uint64_t size, unsigned flags,
             std::size_t piece) {
    Decompressor decompressor;
    MemoryInput input(data, piece);
    VectorOutput output;
    decompressor.Run(method, input, output, size, flags);
    return output.bytes;
}

int CheckFixtureEntries(const std::string& archive) {
    const auto entries = ReadZipEntries(archive);
    std::map<std::string, Bytes> originals;
    for (const auto& e : entries)
        if (e.method == 0)
            originals[e.name] = e.data;
    int checked = 0;
    for (const auto& e : entries) {
        if (e.method == 0)
            continue;
        const std::string base = e.name.substr(0, e.name.find('.'));
        for (std::size_t piece : {std::size_t{1} << 20, std::size_t{5}}) {
            const Bytes decoded = Decode(e.method, e.data, e.uncompressedSize, e.flags, piece);
            EXPECT_EQ(decoded, originals.at(base)) << e.name;
            EXPECT_EQ(Crc32Of(decoded), e.crc) << e.name;
        }
        ++checked;
    }
    return checked;
}

std::uint32_t Crc32Of(const Bytes& data) {
    return Crc32Update(0, data.data(), data.size());
}

} // namespace kd::test
