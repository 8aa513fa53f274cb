#pragma once
#include <string>

#include "zip/format/ZipExceptions.h"

// Enumerations and errors of the writer component.
namespace kd {

// What happens to files that the archive already holds: zaUpdate replaces an entry
// by a newer file and adds new files; zaReplace replaces every entry named again;
// zaFreshen replaces entries by newer files and adds nothing new.
enum class TZipAction { zaUpdate = 0, zaReplace = 1, zaFreshen = 2 };

// What becomes of an entry of the old archive that a file names again.
enum class TUpdateAction { uaReplaceEntry = 0, uaKeepEntry = 1 };

// The archive would need ZIP64 records, which the engine does not write: a file of
// 4 GiB or more, an archive over 4 GiB, or more than 65535 entries.
class EZipTooLarge : public Exception {
public:
    using Exception::Exception;
};

// A writing mode the engine does not offer yet.
class EZipNotSupported : public Exception {
public:
    using Exception::Exception;
};

// The largest archive, entry and count the format holds without ZIP64 (the all-ones
// values mark ZIP64 records, so they are not used).
inline constexpr std::uint64_t kMaxZipSize = 0xFFFFFFFEu;
inline constexpr int kMaxZipEntries = 0xFFFF;

} // namespace kd
