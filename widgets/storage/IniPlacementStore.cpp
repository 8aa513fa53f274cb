#include "platform/Exception.h"
#include "widgets/storage/PlacementStoreFactory.h"

namespace kd {

std::unique_ptr<PlacementStore> openIniPlacementStore(const std::string& path) {
    throw Exception("No INI store for \"" + path + "\" yet");
}

} // namespace kd
