#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kd {

// How the values of a profile file's lines are written and read back.

// Letters a-z to A-Z; everything else unchanged.
std::string upperAscii(std::string_view text);

// "Ano" / "Ne"; a line reads true exactly when its upper-cased text is "ANO".
std::string_view yesNoWord(bool value);
bool parseYesNo(std::string_view line);

// A decimal integer, blanks around it allowed; nullopt for anything else.
std::optional<std::int64_t> parseProfileInteger(std::string_view text);
// The line's integer when it lies in [min, max]; otherwise (empty, unreadable or out
// of range) 0, the empty record's value.
std::int64_t integerInRange(std::string_view line, std::int64_t min, std::int64_t max);

// Split mode: "NE" 0, "BLOK" 1, "VEL_DISK" 2. Reading: upper-cased "NE" gives 0,
// "VEL_DISK" 2, anything else 1.
std::string_view splitModeWord(std::uint8_t mode);
std::uint8_t splitModeFromWord(std::string_view line);

// Period kind as one digit whose code differs from the kind's number:
// "0" every N days (1), "1" weekday (2), "2" day of month (3), "3" manual (0),
// "4" minutes (4). Reading trims blanks; anything unknown gives minutes.
std::string_view periodKindDigit(std::uint8_t kind);
std::uint8_t periodKindFromDigit(std::string_view line);

// The backup kind line once held a yes/no word: upper-cased "ANO" gives 1, "NE" 0,
// otherwise the number 0-2, and 0 for anything else.
std::uint8_t backupKindFromLine(std::string_view line);

// A text value made safe for one line: CR and LF become blanks.
std::string singleLine(std::string_view text);

} // namespace kd
