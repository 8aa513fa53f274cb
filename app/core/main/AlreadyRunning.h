#pragma once
#include <string>

namespace kd {

// What a copy asked to back up or restore says on standard error when another copy
// runs and it did nothing: in the language of the settings file in programDirectory
// (Czech without one). Read before any window exists, so nothing is reported.
std::string alreadyRunningText(const std::string& programDirectory);

} // namespace kd
