#include "app/core/restore/ArchiveContents.h"

#include "platform/DateText.h"
#include "zip/reader/TZipReader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kd {
namespace {

// The length of the traditional encryption header in front of an entry's data.
constexpr std::uint32_t kEncryptionHeaderSize = 12;

template <class... Args> std::string format(const char* pattern, Args... args) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), pattern, args...);
    return text.data();
}

} // namespace

std::string compressionRateText(std::uint32_t compressedSize, std::uint32_t uncompressedSize,
                                bool encrypted) {
    if (uncompressedSize == 0)
        return "0%";
    std::int64_t packed = compressedSize;
    if (encrypted)
        packed = std::max<std::int64_t>(0, packed - kEncryptionHeaderSize);
    const double saved = 100.0 * static_cast<double>(std::int64_t{uncompressedSize} - packed) /
                         static_cast<double>(uncompressedSize);
    return std::to_string(std::lround(saved)) + "%";
}

ContentsRow contentsRow(const TZipReader& reader, int index) {
    const TZipHeaderInfo& entry = reader.Entry(index);
    const TDateTime stamp = reader.GetEntryDateTime(index);
    const DateParts when = decodeDateTime(stamp);

    ContentsRow row;
    row[0] = entry.FileName() + (entry.IsEncrypted() ? "+" : "") + (entry.HasComment() ? "$" : "");
    // The program's date and a 24-hour time, as its logs and windows show them.
    row[1] = formatShortDate(stamp);
    row[2] = format("%d:%02d", when.hour, when.minute);
    row[3] = format("%8u", entry.UncompressedSize);
    row[4] = format("%8u", entry.CompressedSize);
    row[5] = compressionRateText(entry.CompressedSize, entry.UncompressedSize, entry.IsEncrypted());
    row[6] = reader.GetEntryMethodName(index);
    row[7] = entry.Directory();
    row[8] = std::to_string(reader.GetEntryDiskNumber(index));
    return row;
}

int sortMenuItemOf(TZipSortMode mode) {
    for (std::size_t i = 0; i < kSortMenuItems.size(); ++i)
        if (kSortMenuItems[i].mode == mode)
            return static_cast<int>(i);
    return -1;
}

} // namespace kd
