#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

namespace kd {

// Receives compressed output; it throws to stop compression (short write, cancel).
using DeflateWriteFunction = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Packs Deflate codes least-significant bit first into a 64-bit accumulator and
// passes whole bytes to the write function in pieces of at most 1024 bytes.
// Callers add at most 56 bits between two commit() calls.
class DeflateBitWriter {
public:
    static constexpr std::size_t PieceSize = 1024;

    void start(const DeflateWriteFunction& write) {
        write_ = &write;
        bits_ = 0;
        bitCount_ = 0;
        used_ = 0;
        written_ = 0;
    }

    void put(std::uint64_t bits, unsigned count) {
        bits_ |= bits << bitCount_;
        bitCount_ += count;
    }

    // Moves the complete bytes of the accumulator to the piece buffer.
    void commit() {
        store64(buffer_ + used_, bits_);
        const unsigned whole = bitCount_ & ~7u;
        used_ += whole >> 3;
        bits_ = whole == 64 ? 0 : bits_ >> whole;
        bitCount_ -= whole;
        if (used_ > PieceSize - 8)
            drain();
    }

    // Pads the last partial byte with zero bits.
    void alignToByte() {
        commit();
        if (bitCount_ > 0) {
            buffer_[used_++] = static_cast<std::uint8_t>(bits_);
            bits_ = 0;
            bitCount_ = 0;
        }
    }

    void put16(unsigned value) {
        put(value & 0xFFFF, 16);
        commit();
    }

    // Writes bytes unchanged, after everything buffered; the writer must be aligned.
    void writeRaw(const std::uint8_t* data, std::size_t size) {
        drain();
        if (size > 0)
            (*write_)(data, size);
        written_ += size;
    }

    void drain() {
        if (used_ > 0) {
            (*write_)(buffer_, used_);
            written_ += used_;
            used_ = 0;
        }
    }

    bool nothingWritten() const { return written_ == 0 && used_ == 0 && bitCount_ == 0; }
    // Bytes handed to the write function so far.
    std::uint64_t bytesWritten() const { return written_; }

private:
    static void store64(std::uint8_t* to, std::uint64_t value) {
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(to, &value, 8);
        } else {
            for (int i = 0; i < 8; ++i)
                to[i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    const DeflateWriteFunction* write_ = nullptr;
    std::uint64_t bits_ = 0;
    unsigned bitCount_ = 0;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
    std::uint8_t buffer_[PieceSize + 8] = {};
};

} // namespace kd
