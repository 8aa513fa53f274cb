#pragma once
#include "zip/reader/ExtractFailure.h"

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
    RunFailed,       // followed by the error's message
    NoSourceDir,     // the whole text
};
std::string restoreText(std::string_view languageCode, RestoreText text);

// The box that tells how an extraction went, or nullopt when every chosen entry was
// extracted: the counts and the first few entries that could not be, with their
// reasons; or that nothing at all was extracted.
std::optional<std::string> extractionReport(std::string_view languageCode, int extracted,
                                            const std::vector<TExtractFailure>& failures);

} // namespace kd
