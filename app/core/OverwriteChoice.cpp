#include "app/core/OverwriteChoice.h"

namespace kd {
namespace {

// The mode of each list position, in the order of kOverwriteChoiceItems.
constexpr std::array<int, kOverwriteChoiceItems.size()> kModeOfPosition = {
    overwrite_mode::Always, overwrite_mode::ifNewer, overwrite_mode::ifOlder, overwrite_mode::Never,
    overwrite_mode::Prompt};

} // namespace

int overwriteModeOfChoice(int position) {
    if (position < 0 || position >= static_cast<int>(kModeOfPosition.size()))
        return -1;
    return kModeOfPosition[static_cast<std::size_t>(position)];
}

int overwriteChoiceOfMode(int mode) {
    for (std::size_t position = 0; position < kModeOfPosition.size(); ++position)
        if (kModeOfPosition[position] == mode)
            return static_cast<int>(position);
    return -1;
}

} // namespace kd
