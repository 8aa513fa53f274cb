#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Stream.h"

namespace kd {

// Finds the records of an archive by their signatures, for rebuilding a lost
// directory. The stream is read through two buffers: one that moves forward with the
// scan and a small one for looks elsewhere, so that however many signature candidates
// the bytes hold, checking one costs no system call of its own and memory stays
// bounded.
class ZipRecordScan {
public:
    struct Descriptor {
        std::uint32_t crc = 0, compressed = 0, uncompressed = 0;
        std::int64_t next = 0; // where the next record starts
    };

    // pump runs after each stretch of the scan (message draining and cancel).
    ZipRecordScan(Stream& stream, std::function<void()> pump);

    // The first local header that starts the archive: at position 0 any whose
    // version-needed looks like one; behind other bytes (a self-extractor's stub,
    // which may itself hold the signature) only one naming a complete entry that
    // another record or the end of the file follows.
    std::optional<std::int64_t> FirstLocalHeader();
    // The data descriptor of an entry whose local header left the sizes 0: the first
    // one, with or without its signature, whose compressed size matches the bytes
    // from dataStart up to it.
    std::optional<Descriptor> SearchDescriptor(std::int64_t dataStart);
    // The data descriptor right behind an entry's data (with or without its
    // signature), when its compressed size agrees with the local header's.
    std::optional<Descriptor> DescriptorAt(std::int64_t position, std::uint32_t compressed);

private:
    struct Window {
        std::vector<std::uint8_t> bytes;
        std::int64_t start = -1;
    };
    // The first position from `from` on where a record the scan knows may begin and
    // accept(position, signature) agrees.
    std::optional<std::int64_t>
    scan(std::int64_t from, const std::function<bool(std::int64_t, std::uint32_t)>& accept);
    // Up to count bytes at position (fewer at the end of the stream); valid until the
    // next call.
    const std::uint8_t* bytesAt(std::int64_t position, std::size_t count, std::size_t& got);
    void fill(Window& window, std::int64_t start, std::size_t size);
    bool recordOrEndAt(std::int64_t position);
    bool plausibleFirstHeader(std::int64_t position);

    Stream& stream_;
    std::function<void()> pump_;
    std::int64_t size_;
    Window scanWindow_;
    std::array<bool, 256> firstBytes_{}; // first bytes of the records the scan looks for
    Window lookWindow_;
};

} // namespace kd
