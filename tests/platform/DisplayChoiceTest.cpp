#include "platform/DisplayChoice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace kd {
namespace {

DisplayChoice choose(bool unattended, const std::map<std::string, std::string>& env) {
    return ChooseDisplay(unattended, [&env](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

TEST(DisplayChoice, AnyDisplayOrChosenPlatformIsUsedAsItIs) {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        EXPECT_EQ(choose(false, {{name, "x"}}), DisplayChoice::Display) << name;
        EXPECT_EQ(choose(true, {{name, "x"}}), DisplayChoice::Display) << name;
    }
}

TEST(DisplayChoice, WithoutOneOnlyAnUnattendedRunGoesOn) {
    // An empty value is no display either.
    for (const auto& env : {std::map<std::string, std::string>{},
                            std::map<std::string, std::string>{{"DISPLAY", ""}}}) {
        EXPECT_EQ(choose(true, env), DisplayChoice::Offscreen);
        EXPECT_EQ(choose(false, env), DisplayChoice::None);
    }
}

} // namespace
} // namespace kd
