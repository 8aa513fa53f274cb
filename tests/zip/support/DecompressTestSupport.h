#pragma once
#include "zip/decompress/DecompressIO.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kd::test {

using Bytes = std::vector<std::uint8_t>;

// Hands out a byte vector in pieces of at most `piece` bytes.
class MemoryInput : public DecompressInput {
public:
    explicit MemoryInput(Bytes data, std::size_t piece = 1u << 20)
        : data_(std::move(data)), piece_(piece) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override;
    std::uint64_t Remaining() const override { return data_.size() - pos_; }

private:
    Bytes data_;
    std::size_t piece_;
    std::size_t pos_ = 0;
};

class VectorOutput : public DecompressOutput {
public:
    void Write(const std::uint8_t* data, std::size_t length) override {
        bytes.insert(bytes.end(), data, data + length);
    }
    Bytes bytes;
};

// Writes bits least significant first, and Huffman codes most significant first.
struct TestBitWriter {
    Bytes bytes;
    unsigned used = 0;
    void Bits(unsigned value, unsigned count) {
        for (unsigned i = 0; i < count; ++i, ++used) {
            if (used % 8 == 0)
                bytes.push_back(0);
            bytes.back() |= static_cast<std::uint8_t>(((value >> i) & 1) << (used % 8));
        }
    }
    void Code(unsigned code, unsigned length) {
        for (unsigned i = length; i-- > 0;)
            Bits((code >> i) & 1, 1);
    }
};

// Decodes with kd::Decompressor; input in pieces of `piece` bytes.
Bytes Decode(unsigned method, const Bytes& data, std::uint64_t size = 0, unsigned flags = 0,
             std::size_t piece = 1u << 20);

// Checks every "<name>.<variant>" entry of a fixture archive against the stored
// "<name>" entry and the recorded CRC; returns the number of entries checked.
int CheckFixtureEntries(const std::string& archive);

// Raw Deflate by zlib with the given level, window bits (9-15) and strategy.
Bytes ZlibDeflate(const Bytes& data, int level, int windowBits = 15, int strategy = 0);
// Raw inflate by zlib; nullopt when zlib rejects the stream.
std::optional<Bytes> ZlibInflate(const Bytes& stream);

// Deterministic test data: words with repeats, like text (seeded).
Bytes TextLikeData(std::size_t size, unsigned seed = 1);
Bytes RandomData(std::size_t size, unsigned seed = 1);
Bytes ReadWholeFile(const std::string& path);

// One entry of a ZIP archive, found through its central directory.
struct ZipTestEntry {
    std::string name;
    unsigned method = 0;
    unsigned flags = 0;
    std::uint32_t crc = 0;
    std::uint32_t dosTime = 0;
    std::uint32_t uncompressedSize = 0;
    Bytes data; // the raw entry data after the local header
};
std::vector<ZipTestEntry> ReadZipEntries(const std::string& path);

std::uint32_t Crc32Of(const Bytes& data);

} // namespace kd::test
