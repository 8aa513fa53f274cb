#pragma once
#include "zip/reader/ZipReaderTypes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

// The texts of what a run leaves out, in the language "CZ", "EN" or "SK" (others
// give Czech); the message table's texts where it has one.
namespace left_out {

// True for the reasons the writer gives for a file or directory it left out.
bool isLeftOut(TSkipReason reason);
// The log line of a file or directory left out, with the system's reason (detail)
// when there is one.
std::string line(std::string_view languageCode, TSkipReason reason, const std::string& name,
                 const std::string& detail);
// How many files and directories the run left out.
std::string countLine(std::string_view languageCode, std::uint64_t count);
// The run found nothing to store, and the profile's archives stay as they were.
std::string emptyRunLine(std::string_view languageCode);
// The profile has no file mask, so the run stores nothing and keeps the archives.
std::string noMasksLine(std::string_view languageCode);
// Why a restore leaves an entry alone that would overwrite one of the profile's own
// archives.
std::string ownArchiveText(std::string_view languageCode);
// Why an extraction leaves an entry alone whose file another entry of the same run
// has already written.
std::string sameNameText(std::string_view languageCode);
// The verdict of the profile log's line of an extracted file that replaced none
// (run_log::extractedFileLine).
std::string newFileText(std::string_view languageCode);

} // namespace left_out
} // namespace kd
