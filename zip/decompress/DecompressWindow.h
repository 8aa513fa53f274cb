#pragma once
#include "zip/decompress/DecompressIO.h"

#include <cstdint>
#include <vector>

namespace kd {

// The sliding window of the reduce and implode methods, which produce a known
// number of bytes. Bytes from before the start of the data read as zero (the
// format's rule for these methods).
class DecompressWindow {
public:
    static constexpr unsigned kSize = 32768; // above the largest distance of both

    DecompressWindow(DecompressOutput& output, std::uint64_t size);

    bool Done() const { return produced_ == size_; }
    void Put(std::uint8_t byte);
    // Repeats `length` bytes from `distance` (1 to kSize) back; stops at the size.
    void Copy(unsigned distance, unsigned length);
    // Writes what is still in the window; call once all bytes were produced.
    void Finish();

private:
    DecompressOutput& output_;
    std::vector<std::uint8_t> window_;
    unsigned pos_ = 0;
    std::uint64_t produced_ = 0;
    std::uint64_t size_;
};

} // namespace kd
