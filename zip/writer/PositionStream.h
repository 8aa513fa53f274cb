#pragma once
#include <cstdint>

#include "platform/Stream.h"

namespace kd {

// A stream over another that knows its own position: the archive being written is
// only ever written to and positioned through this object, so asking where it stands
// (several times per entry) costs no system call. Seeking to where it already stands
// does nothing.
class PositionStream : public Stream {
public:
    // The position starts at inner's current one.
    explicit PositionStream(Stream& inner) : inner_(inner), position_(inner.Position()) {}

    std::size_t Read(void* buffer, std::size_t count) override {
        const std::size_t n = inner_.Read(buffer, count);
        position_ += static_cast<std::int64_t>(n);
        return n;
    }
    std::size_t Write(const void* buffer, std::size_t count) override {
        const std::size_t n = inner_.Write(buffer, count);
        position_ += static_cast<std::int64_t>(n);
        return n;
    }
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override {
        if (origin == SeekOrigin::Current && offset == 0)
            return position_;
        const std::int64_t target = origin == SeekOrigin::Begin     ? offset
                                    : origin == SeekOrigin::Current ? position_ + offset
                                                                    : -1;
        if (target == position_)
            return position_;
        position_ =
            target >= 0 ? inner_.Seek(target, SeekOrigin::Begin) : inner_.Seek(offset, origin);
        return position_;
    }
    std::int64_t Size() override { return inner_.Size(); }
    void FlushToDevice() override { inner_.FlushToDevice(); }

private:
    Stream& inner_;
    std::int64_t position_;
};

} // namespace kd
