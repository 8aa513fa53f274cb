#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "zip/format/TEndCentral.h"
#include "zip/format/TSortedZip.h"

namespace kd {

// Keeps each entry of an archive to its own bytes: an entry's local header and data
// must end before the next local header on its disk (or before the central directory
// there), and no two entries may share a local header. Archives built to overlap
// ("zip bombs" whose entries quote each other's headers and data) fail this, as do
// directories whose records point into another entry.
class EntryBounds {
public:
    // directory is the archive's directory in stored order (ByNone); both must
    // outlive the bounds.
    EntryBounds(const TSortedZip& directory, const TEndCentral& end)
        : directory_(directory), end_(end) {}

    // Why the entry, whose data begin at dataStart on its disk, overlaps another one;
    // nullopt when it keeps to its bounds (or is not in the directory).
    std::optional<std::string> Overlap(const TZipHeaderInfo& entry, std::int64_t dataStart) const;

private:
    const TSortedZip& directory_;
    const TEndCentral& end_;
};

} // namespace kd
