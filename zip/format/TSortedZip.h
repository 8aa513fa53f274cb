#pragma once
#include "zip/base/TSortedObjectList.h"
#include "zip/format/TZipHeaderInfo.h"

namespace kd {

// Orders of an archive directory.
enum class TZipSortMode {
    ByName,             // Directory + FileName, ascending, letters A-Z without case
    ByFileName,         // FileName, likewise
    ByDirectoryName,    // Directory, likewise
    ByDate,             // newest first; equal dates keep the order of placing
    ByCompressedSize,   // largest first; equal sizes keep the order of placing
    ByUnCompressedSize, // largest first; equal sizes keep the order of placing
    ByRate,             // highest compressed-to-uncompressed percentage first
    ByNone,             // DiskStart, then LocalOffset: the stored order
};

// A list of archive entries in the order of its sort mode.
//
// The archive's directory is a TSortedZip in ByNone order; it accepts entries at the
// same disk and offset (damage or a crafted archive), which extraction then refuses.
// A sorted view is a second TSortedZip in another mode that shares the entries. With
// Accept, an entry equal to listed ones goes in front of them.
class TSortedZip : public TSortedObjectList<TZipHeaderInfo> {
public:
    explicit TSortedZip(TDuplicates duplicates, TZipSortMode mode = TZipSortMode::ByNone)
        : TSortedObjectList(duplicates), sortMode_(mode) {}

    TZipSortMode SortMode() const { return sortMode_; }

protected:
    int Compare(const TZipHeaderInfo& a, const TZipHeaderInfo& b) const override;

private:
    TZipSortMode sortMode_;
};

} // namespace kd
