#pragma once
#include "widgets/storage/PlacementStore.h"

#include <memory>
#include <string>

namespace kd {

// The INI file at the path as a placement store; its changes are written by close().
std::unique_ptr<PlacementStore> openIniPlacementStore(const std::string& path);

} // namespace kd
