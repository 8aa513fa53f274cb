#pragma once
#include "zip/format/TSortedZip.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

class TZipReader;

// The columns of the archive contents list, left to right.
enum class ContentsColumn { File, Date, Time, Size, Packed, Rate, Method, Path, Disk };

struct ContentsColumnInfo {
    std::string_view title;
    int width; // pixels, the header section's initial width
    bool rightAligned;
};

inline constexpr std::size_t kContentsColumnCount = 9;

inline constexpr std::array<ContentsColumnInfo, kContentsColumnCount> kContentsColumns = {{
    {"Soubor", 99, false},
    {"Datum", 63, true},
    {"Čas", 69, true},
    {"Velikost", 45, true},
    {"Komprim.", 65, true},
    {"Poměr", 47, true},
    {"Metoda", 69, false},
    {"Cesta", 154, false},
    {"Disk č.", 48, false},
}};

using ContentsRow = std::array<std::string, kContentsColumnCount>;

// The cells of entry index of the reader's view: the name with "+" when encrypted
// and "$" when commented, the program's short date ("5.3.2003"), the time on a
// 24-hour clock ("14:07"), the sizes, the compression rate, the method, the stored
// directory and the disk.
ContentsRow contentsRow(const TZipReader& reader, int index);

// The space the compression saved, in whole percent rounded to nearest, as "61%":
// the compressed data without the 12-byte header of an encrypted entry measured
// against the uncompressed size; negative when the data grew; "0%" for an empty entry.
std::string compressionRateText(std::uint32_t compressedSize, std::uint32_t uncompressedSize,
                                bool encrypted);

// The sort menu "Třídění": its items and the order each one chooses.
struct SortMenuItem {
    std::string_view objectName;
    std::string_view caption;
    TZipSortMode mode;
};

inline constexpr std::array<SortMenuItem, 6> kSortMenuItems = {{
    {"MenuTrideniJmeno", "&Jméno", TZipSortMode::ByFileName},
    {"MenuTrideniCesta", "&Cesta", TZipSortMode::ByDirectoryName},
    {"MenuTrideniDatum", "&Datum", TZipSortMode::ByDate},
    {"MenuTrideniKomprimovana", "&Komprimovaná velikost", TZipSortMode::ByCompressedSize},
    {"MenuTrideniVelikost", "&Velikost souboru", TZipSortMode::ByUnCompressedSize},
    {"MenuTrideniBez", "&Bez třídění", TZipSortMode::ByNone},
}};

// The menu item that shows the order; -1 for an order the menu does not offer.
int sortMenuItemOf(TZipSortMode mode);

} // namespace kd
