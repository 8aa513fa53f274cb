#pragma once
#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "zip/format/TZipHeaderInfo.h"

namespace kd {

class LocalTimeCache;

// The fields of an entry's header that come from the state of its file: the DOS date
// and time, the exact modification time, the DOS attributes (archive bit included)
// beside the Unix mode, and the host that made the entry.
struct SourceFields {
    std::uint32_t DosDateTime = 0;
    std::uint32_t ExternalAttributes = 0;
    std::uint16_t VersionMadeBy = 0;
    std::optional<std::int64_t> UnixModified;

    // The fields of the file name in the state st (from stat or fstat), whose archive
    // attribute is archiveSet.
    static SourceFields Of(const std::string& name, const struct stat& st, bool archiveSet);
    // The same of a file whose type and permission bits are mode and whose last
    // write was at modified (seconds since 1970, UTC), its local time through
    // localTimes.
    static SourceFields Of(std::string_view name, std::uint32_t mode, std::time_t modified,
                           bool archiveSet, LocalTimeCache& localTimes);

    bool ArchiveSet() const { return (ExternalAttributes & 0x20) != 0; }
    void ApplyTo(TZipHeaderInfo& header) const;
    // Takes header, whose fields were made from this state and then perhaps edited by
    // OnStartZip, to the state fresh: a field left as this state gave it takes fresh's
    // value, an edited one stays. A date OnStartZip chose drops the exact time it did
    // not choose too, which would contradict it (readers prefer the exact time).
    void MoveTo(TZipHeaderInfo& header, const SourceFields& fresh) const;
};

// The entry is made on Unix: its Unix mode (type and permission bits) goes into the
// high 16 bits of the external attributes beside the DOS attributes, and its exact
// modification time into the extended timestamp field.
void RecordUnixState(TZipHeaderInfo& header, const struct stat& st);

} // namespace kd
