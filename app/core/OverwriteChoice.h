#pragma once
#include <array>
#include <string_view>

namespace kd {

// The overwrite list shown by the settings page and the extraction dialog. Its items
// name the modes in another order than the ZIP engine numbers them, so a position is
// never stored as it stands: it maps to the mode and back through the functions below.
inline constexpr std::array<std::string_view, 5> kOverwriteChoiceItems = {
    "Vždy", "Mladší", "Starší", "Nikdy", "Dotaz"};

// The ZIP engine's overwrite modes as ordinals (the values of TUZOverwriteMode); these
// are the numbers "PREPISOVAT" holds.
namespace overwrite_mode {
inline constexpr int Prompt = 0;
inline constexpr int Always = 1;
inline constexpr int Never = 2;
inline constexpr int ifNewer = 3; // replace when the archived file is newer
inline constexpr int ifOlder = 4; // replace when the archived file is older
} // namespace overwrite_mode

// The mode of a list position: "Vždy" Always, "Mladší" ifNewer, "Starší" ifOlder,
// "Nikdy" Never, "Dotaz" Prompt; -1 for no position (or one outside the list).
int overwriteModeOfChoice(int position);
// The list position that shows the mode; -1 for a value that is no mode.
int overwriteChoiceOfMode(int mode);

} // namespace kd
