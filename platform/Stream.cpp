#include "platform/Stream.h"

#include <algorithm>
#include <vector>

namespace kd {

void Stream::ReadBuffer(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count)
        throw EReadError("Stream read error");
}

void Stream::WriteBuffer(const void* buffer, std::size_t count) {
    if (Write(buffer, count) != count)
        throw EWriteError("Stream write error");
}

void Stream::CopyFrom(Stream& source, std::uint64_t count) {
    constexpr std::size_t chunk = 64 * 1024;
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(count, chunk)));
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
}

} // namespace kd
