#include "app/core/profiles/ProfileName.h"

#include "app/core/profiles/ProfileFileRules.h"
#include "app/core/profiles/ProfileTexts.h"

#include <algorithm>

namespace kd {

bool sameProfileName(std::string_view a, std::string_view b) {
    return upperAscii(a) == upperAscii(b);
}

ProfileNameProblem checkProfileName(std::string_view name,
                                    const std::vector<std::string>& otherNames) {
    if (name.empty())
        return ProfileNameProblem::Empty;
    if (name.find_first_of("/\\") != std::string_view::npos)
        return ProfileNameProblem::Separator;
    if (name.find('.') != std::string_view::npos)
        return ProfileNameProblem::Dot;
    const bool clash =
        std::any_of(otherNames.begin(), otherNames.end(),
                    [name](const std::string& other) { return sameProfileName(name, other); });
    return clash ? ProfileNameProblem::Clash : ProfileNameProblem::None;
}

std::string profileNameProblemText(ProfileNameProblem problem, std::string_view name,
                                   std::string_view languageCode) {
    switch (problem) {
    case ProfileNameProblem::None:
        return {};
    case ProfileNameProblem::Empty:
        return localText(languageCode, ProfileText::NameEmpty);
    case ProfileNameProblem::Separator:
        return localText(languageCode, ProfileText::NameSeparator);
    case ProfileNameProblem::Dot:
        return localText(languageCode, ProfileText::NameDot);
    case ProfileNameProblem::Clash:
        return localText(languageCode, ProfileText::NameClash) + std::string(name);
    }
    return {};
}

} // namespace kd
