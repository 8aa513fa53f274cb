#pragma once
#include "app/core/main/MainState.h"

namespace kd {

// Deletes the profile of the row after asking: its file and its last-run stamp go,
// its log and archives stay. Answered No, nothing changes. A file that cannot be
// deleted is reported and the row goes all the same. When the profile's file is
// already gone, its stamp is deleted, a box says so and the row stays. True when
// the row was removed.
bool DeleteProfile(MainState& state, int row);

} // namespace kd
