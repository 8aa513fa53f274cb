#include "zip/decompress/DecompressWindow.h"

namespace kd {

DecompressWindow::DecompressWindow(DecompressOutput& output, std::uint64_t size)
    : output_(output), window_(kSize, 0), size_(size) {}

void DecompressWindow::Put(std::uint8_t byte) {
    window_[pos_] = byte;
    ++produced_;
    if (++pos_ == kSize) {
        output_.Write(window_.data(), kSize);
        pos_ = 0;
    }
}

void DecompressWindow::Copy(unsigned distance, unsigned length) {
    for (; length && !Done(); --length)
        Put(window_[(pos_ - distance) & (kSize - 1)]);
}

void DecompressWindow::Finish() {
    if (pos_)
        output_.Write(window_.data(), pos_);
    pos_ = 0;
}

} // namespace kd
