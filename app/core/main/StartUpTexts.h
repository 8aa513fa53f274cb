#pragma once
#include <string>

namespace kd {

// What a copy says on standard error when it ends before any window exists: in the
// language of the settings file in programDirectory (Czech without one). Read that
// early, the settings report nothing.

// Another copy runs, and this one, asked to back up or restore, did nothing.
std::string alreadyRunningText(const std::string& programDirectory);
// No display for a start that needs a window.
std::string noDisplayText(const std::string& programDirectory);

} // namespace kd
