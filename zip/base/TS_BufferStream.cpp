#include "zip/base/TS_BufferStream.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kd {

TS_BufferStream::TS_BufferStream(Stream& underlying, std::size_t bufferSize)
    : underlying_(underlying), size_(std::max<std::size_t>(bufferSize, 1)) {}

std::uint8_t* TS_BufferStream::storage() {
    if (!buffer_)
        buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(size_);
    return buffer_.get();
}

TS_BufferStream::~TS_BufferStream() {
    try {
        if (state_ == Writing)
            FlushPending();
    } catch (...) {
        // Nothing can be reported from here; Close() is the place that reports.
    }
}

void TS_BufferStream::restartEmpty() {
    pos_ = end_ = 0;
    state_ = Unknown;
}

bool TS_BufferStream::RefillBuffer() {
    const std::size_t n = underlying_.Read(storage(), size_);
    pos_ = 0;
    end_ = n;
    state_ = n > 0 ? Reading : Unknown;
    NotifyRefill();
    return n > 0;
}

void TS_BufferStream::FlushPending() {
    const std::size_t pending = state_ == Writing ? pos_ : 0;
    restartEmpty();
    if (pending > 0 && underlying_.Write(storage(), pending) != pending)
        throw EWriteError("Stream write error: the device took fewer bytes than written");
    NotifyFlush();
}

std::size_t TS_BufferStream::Read(void* buffer, std::size_t count) {
    if (state_ == Writing)
        FlushPending();
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (state_ != Reading || pos_ == end_) {
            if (count - done >= size_) {
                // A large read bypasses the empty buffer.
                restartEmpty();
                const std::size_t n = underlying_.Read(out + done, count - done);
                done += n;
                break;
            }
            if (!RefillBuffer())
                break;
        }
        const std::size_t n = std::min(count - done, end_ - pos_);
        std::memcpy(out + done, storage() + pos_, n);
        pos_ += n;
        done += n;
    }
    return done;
}

std::size_t TS_BufferStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    if (state_ == Reading) {
        underlying_.Seek(logicalPosition(), SeekOrigin::Begin);
        restartEmpty();
    }
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::size_t done = 0;
    written_ = true;
    while (done < count) {
        if (state_ != Writing && count - done >= size_) {
            // A large write bypasses the empty buffer.
            underlying_.WriteBuffer(in + done, count - done);
            return count;
        }
        state_ = Writing;
        const std::size_t n = std::min(count - done, size_ - pos_);
        std::memcpy(storage() + pos_, in + done, n);
        pos_ += n;
        done += n;
        if (pos_ == size_)
            FlushPending();
    }
    return done;
}

std::int64_t TS_BufferStream::logicalPosition() {
    const std::int64_t below = underlying_.Position();
    if (state_ == Reading)
        return below - static_cast<std::int64_t>(end_ - pos_);
    if (state_ == Writing)
        return below + static_cast<std::int64_t>(pos_);
    return below;
}

std::int64_t TS_BufferStream::Size() {
    const std::int64_t below = underlying_.Size();
    return state_ == Writing ? std::max(below, logicalPosition()) : below;
}

std::int64_t TS_BufferStream::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t current = logicalPosition();
    std::int64_t target = 0;
    switch (origin) {
    case SeekOrigin::Begin:
        target = offset;
        break;
    case SeekOrigin::Current:
        target = current + offset;
        break;
    case SeekOrigin::End:
        target = Size() - (offset < 0 ? -offset : offset);
        break;
    default:
        throw EStreamError("Invalid seek origin (" + std::to_string(static_cast<int>(origin)) +
                           ")");
    }
    if (target == current)
        return current;
    if (state_ == Writing)
        FlushPending();
    restartEmpty();
    return underlying_.Seek(target, SeekOrigin::Begin);
}

void TS_BufferStream::PutBack(std::uint8_t b) {
    if (state_ != Reading || pos_ == 0)
        throw EStreamError("Putback overflow");
    storage()[--pos_] = b;
}

void TS_BufferStream::FlushToDevice() {
    if (state_ == Writing)
        FlushPending();
    underlying_.FlushToDevice();
}

void TS_BufferStream::Close() {
    if (state_ == Writing)
        FlushPending();
    if (flushOnClose_ && written_)
        underlying_.FlushToDevice();
}

void TS_BufferStream::NotifyRefill() {
    if (OnRefilled)
        OnRefilled(*this);
}

void TS_BufferStream::NotifyFlush() {
    if (OnFlushed)
        OnFlushed(*this);
}

} // namespace kd
