#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The extra fields of an entry that carry its modification time. Every other field is
// passed over; a field whose length runs past the end of the extra data ends the
// parsing (lengths in damaged or hostile archives may lie).
namespace kd {

inline constexpr std::uint16_t kExtendedTimestampTag = 0x5455; // "UT"
inline constexpr std::uint16_t kNtfsTag = 0x000A;
inline constexpr std::uint16_t kZip64Tag = 0x0001;

// True when the extra data holds a ZIP64 field (the 64-bit sizes and offset of an
// entry whose 32-bit fields stand at their maximum).
bool ExtraFieldHasZip64(std::string_view extra);

// The modification time (seconds since 1970-01-01 UTC) that an extra field names:
// the extended timestamp when it carries one, else the NTFS times, else nullopt.
std::optional<std::int64_t> ExtraFieldModified(std::string_view extra);

// The extended timestamp field (tag, length 5, flag 1, the time as an unsigned 32-bit
// number), the same in local and central headers; empty for a time before 1970 or
// after 2106, which the field cannot hold.
std::string ExtendedTimestampField(std::int64_t modified);

} // namespace kd
