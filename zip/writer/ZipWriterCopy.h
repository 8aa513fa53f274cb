#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "zip/format/TZipHeaderInfo.h"

// Entries of an old archive carried into a new one byte for byte.
namespace kd {

// The central header of entry as it stands in the archive (fixed part, name, extra
// field and comment), when the bytes at position at are that entry's header; nullopt
// otherwise (a directory rebuilt from local headers, a negative position).
std::optional<std::string> ReadRawCentralHeader(Stream& archive, std::int64_t at,
                                                const TZipHeaderInfo& entry);

// The positions of count central headers that stand one behind the other from start
// on; -1 for those behind a position that holds no central header.
std::vector<std::int64_t> CentralHeaderPositions(Stream& archive, std::int64_t start, int count);

// Brings a copied central header up to date: the local header's new offset and disk,
// and the entry's comment when it was loaded (and possibly changed) in memory.
void PatchCopiedCentralHeader(std::string& raw, const TZipHeaderInfo& entry);

// The length of the data descriptor behind an entry's data (the archive positioned
// just behind the data): 0 without flag bit 3, else 16 with its signature or 12
// without, told apart by which form repeats the entry's CRC and sizes.
std::uint32_t DataDescriptorLength(Stream& archive, const TZipHeaderInfo& entry);

} // namespace kd
