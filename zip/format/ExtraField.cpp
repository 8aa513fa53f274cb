#include "zip/format/ExtraField.h"

#include <limits>

#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

constexpr std::uint8_t kModifiedPresent = 0x01;
constexpr std::uint16_t kNtfsTimesTag = 0x0001;
constexpr std::size_t kNtfsTimesSize = 24; // modified, accessed, created: 8 bytes each
// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kNtfsUnixOffset = 116444736000000000;
constexpr std::int64_t kNtfsTicksPerSecond = 10000000;

const std::uint8_t* bytes(std::string_view s) {
    return reinterpret_cast<const std::uint8_t*>(s.data());
}

// The data of the first field with the tag; nullopt when there is none before the
// fields stop making sense.
std::optional<std::string_view> findField(std::string_view extra, std::uint16_t tag) {
    while (extra.size() >= 4) {
        const std::uint16_t id = GetLE16(bytes(extra));
        const std::uint16_t size = GetLE16(bytes(extra) + 2);
        if (size > extra.size() - 4)
            return std::nullopt;
        if (id == tag)
            return extra.substr(4, size);
        extra.remove_prefix(4 + std::size_t{size});
    }
    return std::nullopt;
}

std::optional<std::int64_t> extendedTimestamp(std::string_view data) {
    // Flag byte, then the times its bits announce, modification time first. A central
    // header keeps only the modification time, whatever the flags say.
    if (data.size() < 5 || !(static_cast<std::uint8_t>(data[0]) & kModifiedPresent))
        return std::nullopt;
    return std::int64_t{GetLE32(bytes(data) + 1)};
}

std::int64_t floorDivide(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::optional<std::int64_t> ntfsTimes(std::string_view data) {
    // Four reserved bytes, then attributes of tag, size and data.
    if (data.size() < 4)
        return std::nullopt;
    const auto times = findField(data.substr(4), kNtfsTimesTag);
    if (!times || times->size() < kNtfsTimesSize)
        return std::nullopt;
    const std::uint64_t ticks =
        GetLE32(bytes(*times)) | static_cast<std::uint64_t>(GetLE32(bytes(*times) + 4)) << 32;
    if (ticks == 0 || ticks > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt; // no time recorded, or none a file can carry
    return floorDivide(static_cast<std::int64_t>(ticks) - kNtfsUnixOffset, kNtfsTicksPerSecond);
}

} // namespace

std::optional<std::int64_t> ExtraFieldModified(std::string_view extra) {
    if (const auto field = findField(extra, kExtendedTimestampTag))
        if (const auto modified = extendedTimestamp(*field))
            return modified;
    if (const auto field = findField(extra, kNtfsTag))
        return ntfsTimes(*field);
    return std::nullopt;
}

bool ExtraFieldHasZip64(std::string_view extra) {
    return findField(extra, kZip64Tag).has_value();
}

std::string ExtendedTimestampField(std::int64_t modified) {
    if (modified < 0 || modified > 0xFFFFFFFF)
        return {};
    std::string field(9, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(field.data());
    PutLE16(p, kExtendedTimestampTag);
    PutLE16(p + 2, 5);
    p[4] = kModifiedPresent;
    PutLE32(p + 5, static_cast<std::uint32_t>(modified));
    return field;
}

} // namespace kd
