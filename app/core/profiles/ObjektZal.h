#pragma once
#include "platform/DateTime.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

// One backup profile: what to back up, where to, how and when. On disk it is the
// text file <Name>.lus beside the executable (see LoadProfile / SaveProfile).
// A new record is empty: strings empty, numbers 0, Booleans false.
struct TObjektZal {
    std::string Name; // profile name, also the base name of its files
    std::string Description;
    std::string TargetDir;          // ends in "/" when not empty
    std::string SourceDir;          // ends in "/" when not empty
    std::string Masks;              // file masks to back up, ";"-separated
    std::string ExcludedMasks;      // ";"-separated
    std::uint8_t PeriodValue = 0;   // days, weekday 1-7, day of month 1-31 or minutes
    std::uint8_t VersionsKept = 0;  // numbered archive versions, 0: one unnumbered archive
    std::uint8_t BackupKind = 0;    // 0 full, 1 younger than AgeDays, 2 changed since last run
    std::uint8_t PeriodKind = 0;    // 0 manual, 1 days, 2 weekday, 3 day of month, 4 minutes
    std::int32_t FirstPartSize = 0; // bytes
    std::int32_t NextPartSize = 0;  // bytes
    std::int16_t AgeDays = 0;
    bool WipeDisk = false;
    bool Recurse = false;
    bool RunAfterStart = false; // stored and edited only
    bool Paused = false;
    bool SelfExtract = false;
    bool ArchiveBitOnly = false;
    bool ResetArchiveBit = false;
    bool NewArchive = false;
    std::uint8_t SplitMode = 0; // 0 none, 1 by the part sizes, 2 by the removable disk's size
    TDateTime StartTime = 0;    // only the time of day counts
    std::string Password;       // stored form (ProfilePassword.h), never the plain text
    std::string ExcludedDirs;   // ";"-separated
    std::string MailTo;         // empty: no mail
    std::string NetUser;
    std::string NetPassword; // plain text

    bool operator==(const TObjektZal&) const = default;
};

// "<dir>/<name>.lus"
std::string profileFilePath(const std::string& dir, const std::string& name);

// Reads <dir>/<name>.lus into the record; Name becomes the file-name part of name.
// Unreadable values keep the empty record's defaults. Throws kd::Exception when the
// file cannot be read; the record is then unchanged.
void LoadProfile(TObjektZal& record, const std::string& dir, const std::string& name);

// Writes <dir>/<record.Name>.lus atomically; throws kd::Exception on failure and for
// an empty name or one with a "/" (see ProfileName.h for the editor's full check).
void SaveProfile(const TObjektZal& record, const std::string& dir);

// The profile list's text for the period kind, in the language "CZ", "EN" or "SK"
// (others give Czech).
std::string PeriodKindText(const TObjektZal& record, std::string_view languageCode = "CZ");

} // namespace kd
