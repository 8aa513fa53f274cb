#pragma once
#include "zip/DecompressIO.h"

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
