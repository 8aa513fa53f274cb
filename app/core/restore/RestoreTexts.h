#pragma once
#include "zip/reader/ExtractFailure.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The restore's own texts that the message table does not hold, in the language
// "CZ", "EN" or "SK" (others give Czech).
enum class RestoreText {
    NotRestored,     // a log line's verdict on an entry, followed by the reason
    RestoredCount,   // followed by the number of entries extracted
    FailedCount,     // followed by the number of entries that could not be
    NothingRestored, // the whole text
    Finished,        // the whole text
    KeptCount,       // followed by the number of files the overwrite rule kept
    RunFailed,       // followed by the error's message
    NoSourceDir,     // the whole text
    NotAZip,         // followed by the archive's path
    Zip64,           // followed by the archive's path
    AesEncrypted,    // an entry's whole reason
    Overlapping,     // an entry's whole reason
    NameTooLong,     // an entry's whole reason
    ReadFailed,      // followed by the engine's message in parentheses
    WriteFailed,     // likewise
    Incomplete,      // the whole text: the archive has no end record
    PartlyFinished,  // the whole text: some files were restored, some could not be
};
std::string restoreText(std::string_view languageCode, RestoreText text);

// Why the entry could not be extracted, in the language where the kind of problem
// has a text, else the engine's message.
std::string failureText(std::string_view languageCode, const TExtractFailure& failure);

// The error an archive that cannot be read at all (not a ZIP file, a ZIP64 archive,
// a directory damaged beyond repair) is reported with, in the language, naming the
// archive; nullopt for other errors (cancel, a missing part, ...).
std::optional<std::string> archiveRefusal(std::string_view languageCode, const std::string& archive,
                                          const std::exception& error);

// The closing box of a restore or an extraction: that it finished (or that nothing
// at all came out of the archive), the files extracted, those that could not be and
// those the overwrite rule kept, then the first few failures with their reasons.
std::string extractionReport(std::string_view languageCode, int extracted, int kept,
                             const std::vector<TExtractFailure>& failures);

} // namespace kd
