#include "platform/DisplayChoice.h"

#include <cstdlib>

namespace kd {

namespace {

bool isSet(const std::function<const char*(const char*)>& lookup, const char* name) {
    const char* value = lookup(name);
    return value != nullptr && *value != '\0';
}

} // namespace

DisplayChoice ChooseDisplay(bool unattended,
                            const std::function<const char*(const char*)>& lookup) {
    if (isSet(lookup, "QT_QPA_PLATFORM") || isSet(lookup, "DISPLAY") ||
        isSet(lookup, "WAYLAND_DISPLAY"))
        return DisplayChoice::Display;
    return unattended ? DisplayChoice::Offscreen : DisplayChoice::None;
}

DisplayChoice ChooseDisplayForThisProcess(bool unattended) {
    const DisplayChoice choice =
        ChooseDisplay(unattended, [](const char* name) { return std::getenv(name); });
    if (choice == DisplayChoice::Offscreen)
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return choice;
}

} // namespace kd
