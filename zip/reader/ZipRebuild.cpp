// Rebuilding a damaged directory from the local headers of a single archive.
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "zip/format/ZipRecords.h"
#include "zip/reader/TZipReader.h"

namespace kd {

namespace {

constexpr std::size_t kScanChunk = 10240; // bytes between two message drains
constexpr std::uint16_t kKindLocal = 0x0403;
constexpr std::uint16_t kKindCentral = 0x0201;
constexpr std::uint16_t kKindEnd = 0x0605;
constexpr std::uint16_t kKindDescriptor = 0x0807;
constexpr std::uint16_t kKindZip64End = 0x0606;
constexpr std::uint32_t kDescriptorSignature = 0x08074B50;

// Up to count bytes at position; fewer at the end of the stream.
std::vector<std::uint8_t> readAt(Stream& s, std::int64_t position, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (position < 0)
        return {};
    s.Seek(position, SeekOrigin::Begin);
    bytes.resize(s.Read(bytes.data(), count));
    return bytes;
}

// The first position from `from` on where "PK" and two more bytes stand and accept
// (position, the two bytes as a little-endian kind) agrees; pump runs after each chunk.
std::optional<std::int64_t>
scanForRecord(Stream& s, std::int64_t from,
              const std::function<bool(std::int64_t, std::uint16_t)>& accept,
              const std::function<void()>& pump) {
    std::int64_t position = from;
    for (;;) {
        const std::vector<std::uint8_t> chunk = readAt(s, position, kScanChunk + 3);
        if (chunk.size() < 4)
            return std::nullopt;
        for (std::size_t i = 0; i + 3 < chunk.size(); ++i)
            if (chunk[i] == 'P' && chunk[i + 1] == 'K' &&
                accept(position + static_cast<std::int64_t>(i), GetLE16(&chunk[i + 2])))
                return position + static_cast<std::int64_t>(i);
        position += static_cast<std::int64_t>(chunk.size() - 3);
        pump();
    }
}

// True when position is the end of the stream or holds one of the records that can
// follow an entry's data.
bool recordOrEndAt(Stream& s, std::int64_t position, std::int64_t size) {
    if (position == size)
        return true;
    const std::vector<std::uint8_t> sig = readAt(s, position, 4);
    if (sig.size() < 4 || sig[0] != 'P' || sig[1] != 'K')
        return false;
    const std::uint16_t kind = GetLE16(&sig[2]);
    return kind == kKindLocal || kind == kKindCentral || kind == kKindEnd ||
           kind == kKindDescriptor || kind == kKindZip64End;
}

// A local signature is taken for the start of the archive when its version-needed
// field looks like one (high byte below 10). One found behind other bytes (a
// self-extractor's stub, which may itself hold the signature) must also name a
// complete entry that another record follows.
bool plausibleFirstHeader(Stream& s, std::int64_t position, std::int64_t size) {
    const std::vector<std::uint8_t> h = readAt(s, position, kLocalHeaderFixed);
    if (h.size() < 6 || h[5] >= 10)
        return false;
    if (position == 0)
        return true;
    if (h.size() < kLocalHeaderFixed || GetLE16(&h[26]) == 0)
        return false;
    const bool descriptor = GetLE16(&h[6]) & kFlagDataDescriptor;
    const std::uint32_t compressed = GetLE32(&h[18]);
    if (descriptor && compressed == 0)
        return true; // the sizes follow the data; the descriptor search checks them
    const std::int64_t dataEnd = position + static_cast<std::int64_t>(kLocalHeaderFixed) +
                                 GetLE16(&h[26]) + GetLE16(&h[28]) + compressed;
    return recordOrEndAt(s, dataEnd, size) || (descriptor && recordOrEndAt(s, dataEnd + 12, size));
}

struct Descriptor {
    std::uint32_t crc = 0, compressed = 0, uncompressed = 0;
    std::int64_t next = 0; // where the next record starts
};

// The data descriptor of an entry whose local header left the sizes 0: the first
// one, with or without its signature, whose compressed size matches the bytes from
// dataStart up to it.
std::optional<Descriptor> findDescriptor(Stream& s, std::int64_t dataStart,
                                         const std::function<void()>& pump) {
    Descriptor found;
    const auto accept = [&](std::int64_t position, std::uint16_t kind) {
        if (kind == kKindDescriptor) {
            const std::vector<std::uint8_t> d = readAt(s, position, 16);
            if (d.size() == 16 && GetLE32(&d[8]) == position - dataStart) {
                found = {GetLE32(&d[4]), GetLE32(&d[8]), GetLE32(&d[12]), position + 16};
                return true;
            }
        } else if ((kind == kKindLocal || kind == kKindCentral || kind == kKindEnd) &&
                   position - dataStart >= 12) {
            const std::vector<std::uint8_t> d = readAt(s, position - 12, 12);
            if (d.size() == 12 && GetLE32(&d[4]) == position - 12 - dataStart) {
                found = {GetLE32(&d[0]), GetLE32(&d[4]), GetLE32(&d[8]), position};
                return true;
            }
        }
        return false;
    };
    if (!scanForRecord(s, dataStart, accept, pump))
        return std::nullopt;
    return found;
}

// The data descriptor right behind an entry's data (with or without its signature),
// when its compressed size agrees with the local header's.
std::optional<Descriptor> descriptorAt(Stream& s, std::int64_t position, std::uint32_t compressed) {
    const std::vector<std::uint8_t> d = readAt(s, position, 16);
    const std::size_t at = d.size() >= 4 && GetLE32(d.data()) == kDescriptorSignature ? 4 : 0;
    if (d.size() < at + 12 || GetLE32(&d[at + 4]) != compressed)
        return std::nullopt;
    return Descriptor{GetLE32(&d[at]), compressed, GetLE32(&d[at + 8]),
                      position + static_cast<std::int64_t>(at) + 12};
}

} // namespace

bool TZipReader::RebuildDirectory() {
    if (rebuildTried_)
        return false;
    rebuildTried_ = true;
    rebuilt_ = true;
    sortedView_.reset();
    directory_.reset();
    Stream& s = *zipStream_;
    const std::int64_t size = s.Size();
    const std::function<void()> pump = [this] { ProcessMessagesAndCheckCancel(); };

    const auto first = scanForRecord(
        s, 0,
        [&](std::int64_t position, std::uint16_t kind) {
            return kind == kKindLocal && plausibleFirstHeader(s, position, size);
        },
        pump);
    if (!first)
        return false;

    directory_ = std::make_unique<TSortedZip>(TDuplicates::Error);
    s.Seek(*first, SeekOrigin::Begin);
    for (;;) {
        auto entry = std::make_shared<TZipHeaderInfo>();
        if (s.Position() > 0xFFFFFFFF || !entry->ReadLocalHeader(s))
            break;
        if (entry->CompressedSize == 0xFFFFFFFF || entry->UncompressedSize == 0xFFFFFFFF)
            throw EZip64NotSupported("entry " + entry->FullName());
        const std::int64_t dataStart = s.Position() + entry->LocalExtraLength;
        entry->ReadLocalExtra(s); // its time; the data start is known either way
        std::int64_t next = dataStart + entry->CompressedSize;
        if (entry->HasDataDescriptor()) {
            // Written by a streaming archiver: CRC and sizes may be only in the
            // descriptor, whose place is unknown when the header left the size 0.
            const auto descriptor = entry->CompressedSize == 0
                                        ? findDescriptor(s, dataStart, pump)
                                        : descriptorAt(s, next, entry->CompressedSize);
            if (descriptor) {
                entry->Crc32 = descriptor->crc;
                entry->CompressedSize = descriptor->compressed;
                entry->UncompressedSize = descriptor->uncompressed;
                next = descriptor->next;
            } else if (entry->CompressedSize == 0) {
                break; // the data runs to the end of the file: the entry is cut off
            } else {
                next += 16;
            }
        }
        directory_->Add(entry);
        s.Seek(next, SeekOrigin::Begin);
        pump();
    }
    endCentral_.ThisDisk = 0;
    currentVolume_ = 0;
    endCentral_.CentralOffsetOnDisk = static_cast<std::uint32_t>(s.Position());
    endCentral_.TotalEntries = static_cast<std::uint16_t>(std::min(directory_->Count(), 0xFFFF));
    return !directory_->Empty();
}

} // namespace kd
