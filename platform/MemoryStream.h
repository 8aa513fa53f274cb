#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Stream.h"

namespace kd {

// A stream over a growable byte string held in memory.
class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string_view bytes) : data_(bytes) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

    const std::string& Bytes() const { return data_; }

private:
    std::string data_;
    std::int64_t position_ = 0;
};

} // namespace kd
