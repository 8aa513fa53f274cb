#include "zip/extract/EntryBounds.h"

namespace kd {

namespace {

bool sameHeader(const TZipHeaderInfo& a, const TZipHeaderInfo& b) {
    return a.DiskStart == b.DiskStart && a.LocalOffset == b.LocalOffset;
}

} // namespace

std::optional<std::string> EntryBounds::Overlap(const TZipHeaderInfo& entry,
                                                std::int64_t dataStart) const {
    int index = 0;
    if (!directory_.Find(entry, index))
        return std::nullopt;
    // Find gives the first of equal entries; one behind it with the same key shares
    // the header.
    const int count = directory_.Count();
    if (index + 1 < count && sameHeader(*directory_.Get(index + 1), entry))
        return "another entry of the directory points to its local header";
    std::optional<std::int64_t> limit;
    if (index + 1 < count && directory_.Get(index + 1)->DiskStart == entry.DiskStart)
        limit = directory_.Get(index + 1)->LocalOffset;
    else if (end_.CentralDisk == entry.DiskStart && end_.CentralOffsetOnDisk > entry.LocalOffset)
        limit = end_.CentralOffsetOnDisk;
    if (limit && dataStart + static_cast<std::int64_t>(entry.CompressedSize) > *limit)
        return "its data overlap the next entry's header or data";
    return std::nullopt;
}

} // namespace kd
