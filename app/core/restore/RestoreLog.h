#pragma once
#include "platform/DateTime.h"
#include "zip/reader/ExtractFailure.h"

#include <string>

namespace kd {

// The lines a restore adds to the profile's log beyond those the ZIP engine's event
// handlers write for each file (run_log in RunLogs.h).
namespace restore_log {
// "Obnova souborů :7.3.2024 v 10:00:00"
std::string headerLine(TDateTime when);
// An entry that could not be extracted: its stored name padded to 40 characters,
// 7 blanks, then why, in the language given.
std::string notRestoredLine(const std::string& languageCode, const TExtractFailure& failure);
// The number of entries extracted and, when some failed, of those.
std::string countsLine(const std::string& languageCode, int extracted, std::size_t failed);
} // namespace restore_log

} // namespace kd
