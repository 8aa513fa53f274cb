#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The switches the main window reads from its command line:
//   a <name>  back the profile up and end the program,
//   o <name>  restore the profile and end the program,
//   s <n>     first schedule check n minutes after the start (0 when n is no number),
//   1         the program was started with the system.
// Switch letters and profile names match in any letter case (A-Z only).
struct CommandLine {
    bool RunSwitch = false;
    bool RestoreSwitch = false;
    bool DelaySwitch = false;
    std::string RunProfileName;     // lower-cased
    std::string RestoreProfileName; // lower-cased
    int DelayMinutes = 0;           // never negative
    bool StartedWithSystem = false; // some argument, the program path included, is "1"

    // programPath is argument 0; arguments are the rest, in order. Every argument is
    // examined as a switch, also the one following a switch.
    static CommandLine parse(const std::string& programPath,
                             const std::vector<std::string>& arguments);
};

// Letters A-Z to a-z; everything else unchanged.
std::string lowerAscii(std::string_view text);

} // namespace kd
