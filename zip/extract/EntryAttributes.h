#pragma once
#include <sys/types.h>

#include <ctime>
#include <optional>

#include "zip/format/TZipHeaderInfo.h"

// The time and the permission bits an extracted entry gets.
namespace kd {

// The entry's modification time: the exact time of its extra field, else its DOS date
// and time taken as local time; nullopt when neither names a moment.
std::optional<std::time_t> EntryModifiedTime(const TZipHeaderInfo& entry);

// Below 0, 0 or above 0 as the entry is older than, as old as or newer than a file
// last modified at modified. An exact time compares by the second; a DOS time in DOS
// steps (two seconds, local time), so a file extracted from the entry is as old as it.
int CompareEntryTime(const TZipHeaderInfo& entry, std::time_t modified);

// The permission bits stored with an entry made on Unix whose stored type fits the
// entry (a regular file, or a directory for a name ending in "/"; a mode without type
// bits is taken too), without set-uid, set-gid and sticky; nullopt when there are none.
std::optional<mode_t> StoredPermissions(const TZipHeaderInfo& entry);

// The permission bits of a new file: 0666 less the process's umask.
mode_t NewFileMode();

// The permission bits of an extracted file. With retainAttributes the stored Unix
// mode when the entry has one. Otherwise those of the file it replaces (never more
// open than that file was) or, for a new file, newFileMode; with retainAttributes, an
// entry marked read-only (DOS attribute) loses the write bits.
mode_t ExtractedFileMode(const TZipHeaderInfo& entry, std::optional<mode_t> replaced,
                         bool retainAttributes, mode_t newFileMode);

} // namespace kd
