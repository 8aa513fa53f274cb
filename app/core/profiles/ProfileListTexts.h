#pragma once
#include "app/core/profiles/ObjektZal.h"

#include <array>
#include <string>
#include <string_view>

namespace kd {

// The profile list: its columns and what a profile's row shows in them.
struct ProfileListColumn {
    std::string_view caption;
    int width; // -1: the view's default width
};

inline constexpr std::array<ProfileListColumn, 8> kProfileListColumns = {{
    {"Označení", 90},
    {"Popis", 140},
    {"Kam zálohovat", 140},
    {"Odkud zálohovat", 140},
    {"Filtr souborů", -1},
    {"Počet indexů", 40},
    {"Aut.záloha", -1},
    {"Posl.záloha", 100},
}};

// The row's texts, column by column (column 0 is the row caption, the name), in the
// program's language.
// lastRunDate and lastRunTime come from the profile's last-run stamp; a date of 0 or
// less (no stamp) shows as a single blank.
std::array<std::string, 8> profileListTexts(const TObjektZal& record, TDateTime lastRunDate,
                                            TDateTime lastRunTime);

// The list's sort order: letters A-Z equal to a-z, everything else by byte value, so
// "10" sorts before "9". Negative, zero or positive like strcmp.
int compareProfileListTexts(std::string_view a, std::string_view b);

} // namespace kd
