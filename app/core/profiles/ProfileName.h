#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// Checks of a profile name typed in the editor. The name is the base name of the
// profile's files, and the start-up scan takes a profile's name from its file name up
// to the first ".", so a name holds no path separator and no dot.
enum class ProfileNameProblem {
    None,
    Empty,
    Separator, // "/" or "\"
    Dot,       // "." (so also "..")
    Clash,     // another profile has the name, letter case aside
};

// otherNames: the names of the other profiles (not the one being edited).
ProfileNameProblem checkProfileName(std::string_view name,
                                    const std::vector<std::string>& otherNames);

// The editor's message for a problem (empty for None), in the language "CZ", "EN" or
// "SK"; the clash message ends with the name.
std::string profileNameProblemText(ProfileNameProblem problem, std::string_view name,
                                   std::string_view languageCode);

// Profile names compare as the command line's names do: letters A-Z equal to a-z.
bool sameProfileName(std::string_view a, std::string_view b);

} // namespace kd
