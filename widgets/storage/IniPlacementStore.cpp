#include "widgets/storage/IniPlacementStore.h"

#include "widgets/storage/PlacementStoreFactory.h"

namespace kd {

std::unique_ptr<PlacementStore> openIniPlacementStore(const std::string& path) {
    return std::make_unique<IniPlacementStore>(path);
}

std::string IniPlacementStore::readString(const std::string& section, const std::string& name,
                                          const std::string& def) {
    return file_.readString(section, name, def);
}

void IniPlacementStore::writeString(const std::string& section, const std::string& name,
                                    const std::string& value) {
    file_.writeString(section, name, value);
    changed_ = true;
}

void IniPlacementStore::eraseSection(const std::string& section) {
    file_.eraseSection(section);
    changed_ = true;
}

void IniPlacementStore::close() {
    if (changed_)
        file_.updateFile();
    changed_ = false;
}

} // namespace kd
