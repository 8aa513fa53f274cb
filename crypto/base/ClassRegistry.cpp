#include "crypto/base/ClassRegistry.h"

#include <strings.h>

namespace kd {

std::string TrimClassText(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return std::string(s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1));
}

std::string DefaultClassDescription(std::string_view className) {
    if (!className.empty() && className.front() == 'T')
        className.remove_prefix(1);
    if (const auto bar = className.find('_'); bar != std::string_view::npos)
        className.remove_prefix(bar + 1);
    return std::string(className);
}

bool SameClassText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace kd
