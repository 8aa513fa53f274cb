#include "widgets/storage/PlacementStore.h"

#include "widgets/storage/NumberText.h"

namespace kd {

int PlacementStore::readInteger(const std::string& section, const std::string& name, int def) {
    int value = def;
    return parseWholeNumber(readString(section, name, std::to_string(def)), value) ? value : def;
}

void PlacementStore::writeInteger(const std::string& section, const std::string& name, int value) {
    writeString(section, name, std::to_string(value));
}

void PlacementStore::writeBool(const std::string& section, const std::string& name, bool value) {
    writeString(section, name, value ? "1" : "0");
}

} // namespace kd
