#include "widgets/storage/PlacementStore.h"

#include "platform/Trim.h"

#include <charconv>

namespace kd {

bool parseInteger(const std::string& text, int& value) {
    const std::string_view trimmed = trimBlanks(text);
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (first != last && *first == '+')
        ++first;
    int parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed);
    if (error != std::errc() || end != last || first == last)
        return false;
    value = parsed;
    return true;
}

int PlacementStore::readInteger(const std::string& section, const std::string& name, int def) {
    int value = def;
    return parseInteger(readString(section, name, std::to_string(def)), value) ? value : def;
}

void PlacementStore::writeInteger(const std::string& section, const std::string& name, int value) {
    writeString(section, name, std::to_string(value));
}

void PlacementStore::writeBool(const std::string& section, const std::string& name, bool value) {
    writeString(section, name, value ? "1" : "0");
}

} // namespace kd
