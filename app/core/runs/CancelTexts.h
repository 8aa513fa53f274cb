#pragma once
#include <exception>
#include <string>
#include <string_view>

namespace kd {

enum class CancelledRun { Backup, Restore };

// What the logs and the box say of a run the user cancelled, in the language "CZ",
// "EN" or "SK" (others give Czech), in place of the engine's own English text.
std::string cancelledText(std::string_view languageCode, CancelledRun run);

// True for the errors a cancel ends the engine's work with (the cancel button, "No"
// to the next disk).
bool isCancel(const std::exception& error);

} // namespace kd
