#include "zip/decompress/DecompressBitReader.h"

#include "zip/decompress/DecompressError.h"

namespace kd {

bool DecompressBitReader::Need(unsigned count) {
    while (count_ < count) {
        if (pos_ == end_) {
            end_ = input_.Read(buffer_.data(), buffer_.size());
            pos_ = 0;
            if (end_ == 0)
                return false;
        }
        bits_ |= std::uint32_t{buffer_[pos_++]} << count_;
        count_ += 8;
    }
    return true;
}

bool DecompressBitReader::TryGet(unsigned count, std::uint32_t& value) {
    if (!Need(count))
        return false;
    value = bits_ & ((1u << count) - 1);
    bits_ >>= count;
    count_ -= count;
    return true;
}

std::uint32_t DecompressBitReader::Get(unsigned count) {
    std::uint32_t value;
    if (!TryGet(count, value))
        throw EBadCompressedData("unexpected end of data");
    return value;
}

} // namespace kd
