#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

#include "zip/base/TLFNFileStream.h"
#include "zip/format/TZipHeaderInfo.h"

namespace kd {

class TZipReader;

// One reading of an archive's directory into a TZipReader: the end record (or the
// ".zfc" side file), the multi-volume mode, the central headers across volumes, and
// the repair from local headers when the central directory is damaged.
class ZipDirectoryReader {
public:
    explicit ZipDirectoryReader(TZipReader& zip) : zip_(zip) {}

    void Read();

private:
    bool findEndRecord();
    void rejectZip64End();
    void decideMultiMode();
    void positionAtDirectory();
    void handleMissingEndRecord();
    void readEntries();
    void rejectZip64Entry(const TZipHeaderInfo& entry);
    void mergeIntoRebuilt(const TZipHeaderInfo& central);
    // The first rebuilt entry of the same CRC and sizes that no central header claimed.
    TZipHeaderInfo* unclaimedWithSameData(const TZipHeaderInfo& central) const;
    bool rebuild();
    void loadEntryComment(TZipHeaderInfo& entry);
    void loadArchiveComment();
    Stream& source();
    Stream& nextVolume();
    [[noreturn]] void fail(const std::string& message);

    TZipReader& zip_;
    std::unique_ptr<TLFNFileStream> side_; // the ".zfc" file, when it is used
    bool endFound_ = false;
    std::int64_t prefixShift_ = 0;           // bytes in front of the archive's offsets
    std::set<const TZipHeaderInfo*> merged_; // entries a central header claimed or added
    // The rebuilt entries by CRC and sizes, in stored order.
    std::multimap<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>, TZipHeaderInfo*> byData_;
};

} // namespace kd
