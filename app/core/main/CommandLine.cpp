#include "app/core/main/CommandLine.h"

#include <charconv>

namespace kd {
namespace {

// Minutes after "s": a decimal number with an optional sign; anything else, and a
// negative number, gives 0 (check at once). Huge values saturate at a year.
int delayMinutes(std::string_view text) {
    constexpr long long kMaxMinutes = 366LL * 24 * 60;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size())
        return 0;
    if (ec == std::errc::result_out_of_range)
        return text.front() == '-' ? 0 : static_cast<int>(kMaxMinutes);
    if (ec != std::errc() || value < 0)
        return 0;
    return static_cast<int>(value > kMaxMinutes ? kMaxMinutes : value);
}

} // namespace

std::string lowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

CommandLine CommandLine::parse(const std::string& programPath,
                               const std::vector<std::string>& arguments) {
    CommandLine line;
    line.StartedWithSystem = programPath == "1";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string argument = lowerAscii(arguments[i]);
        const std::string next = i + 1 < arguments.size() ? arguments[i + 1] : std::string();
        if (argument == "a") {
            line.RunSwitch = true;
            line.RunProfileName = lowerAscii(next);
        } else if (argument == "o") {
            line.RestoreSwitch = true;
            line.RestoreProfileName = lowerAscii(next);
        } else if (argument == "s") {
            line.DelaySwitch = true;
            line.DelayMinutes = delayMinutes(next);
        } else if (argument == "1") {
            line.StartedWithSystem = true;
        }
    }
    return line;
}

} // namespace kd
