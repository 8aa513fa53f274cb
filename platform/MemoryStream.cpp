#include "platform/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace kd {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    const auto size = static_cast<std::int64_t>(data_.size());
    if (position_ >= size)
        return 0;
    const auto n = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(count), size - position_));
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    const auto end = static_cast<std::size_t>(position_) + count;
    if (end > data_.size())
        data_.resize(end, '\0');
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
    return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = position_;
    else if (origin == SeekOrigin::End)
        base = Size();
    if (base + offset < 0)
        throw EStreamError("Seek error");
    position_ = base + offset;
    return position_;
}

} // namespace kd
