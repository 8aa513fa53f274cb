#pragma once
// Helpers shared by the libFuzzer targets: the fuzzer's bytes as decoder input, an
// output that refuses to grow without bound, a private scratch directory, and the
// check that stops the fuzzer at a wrong result.
#include "zip/decompress/DecompressIO.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kd::fuzz {

// Hands out the bytes in pieces of at most `piece`, so decoders meet refills.
class BytesInput : public DecompressInput {
public:
    BytesInput(const std::uint8_t* data, std::size_t size, std::size_t piece = 4096)
        : data_(data), size_(size), piece_(piece) {}
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override;
    std::uint64_t Remaining() const override { return size_ - pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t piece_;
    std::size_t pos_ = 0;
};

// Thrown by CappedOutput: the output outgrew its limit (not a fault of the decoder).
struct OutputLimitReached {};

// Collects the output; throws OutputLimitReached past `limit` bytes.
class CappedOutput : public DecompressOutput {
public:
    explicit CappedOutput(std::size_t limit = 64u << 20) : limit_(limit) {}
    void Write(const std::uint8_t* data, std::size_t length) override;
    std::vector<std::uint8_t> bytes;

private:
    std::size_t limit_;
};

// A directory of this process below the temp dir, made on first use and removed
// (with everything in it) when the process ends.
const std::string& scratchDir();
// Writes the bytes to scratchDir()/name and returns the path.
std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size);
// Removes everything below path, keeping path itself.
void emptyDirectory(const std::string& path);

// Prints what went wrong and aborts, so the fuzzer records the input as a crash.
[[noreturn]] void fail(std::string_view what);

} // namespace kd::fuzz
