#include "app/core/settings/OverwriteChoice.h"

namespace kd {
namespace {

// The mode of each list position, in the order of kOverwriteChoiceItems.
constexpr std::array<TUZOverwriteMode, kOverwriteChoiceItems.size()> kModeOfPosition = {
    TUZOverwriteMode::Always, TUZOverwriteMode::ifNewer, TUZOverwriteMode::ifOlder,
    TUZOverwriteMode::Never, TUZOverwriteMode::Prompt};

} // namespace

std::optional<TUZOverwriteMode> overwriteModeOfChoice(int position) {
    if (position < 0 || position >= static_cast<int>(kModeOfPosition.size()))
        return std::nullopt;
    return kModeOfPosition[static_cast<std::size_t>(position)];
}

int overwriteChoiceOfMode(int ordinal) {
    for (std::size_t position = 0; position < kModeOfPosition.size(); ++position)
        if (static_cast<int>(kModeOfPosition[position]) == ordinal)
            return static_cast<int>(position);
    return -1;
}

} // namespace kd
