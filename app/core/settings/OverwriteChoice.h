#pragma once
#include "zip/reader/ZipReaderTypes.h"

#include <array>
#include <optional>
#include <string_view>

namespace kd {

// The overwrite list shown by the settings page and the extraction dialog. Its items
// name the modes in another order than the ZIP engine numbers them, so a position is
// never stored as it stands: it maps to the mode and back through the functions below.
// "PREPISOVAT" in the settings file holds the mode's ordinal.
inline constexpr std::array<std::string_view, 5> kOverwriteChoiceItems = {
    "Vždy", "Mladší", "Starší", "Nikdy", "Dotaz"};

// The mode of a list position: "Vždy" Always, "Mladší" ifNewer, "Starší" ifOlder,
// "Nikdy" Never, "Dotaz" Prompt; nullopt for no position (or one outside the list).
std::optional<TUZOverwriteMode> overwriteModeOfChoice(int position);
// The list position that shows the mode, given as its ordinal; -1 for a value that is
// no mode.
int overwriteChoiceOfMode(int ordinal);

} // namespace kd
