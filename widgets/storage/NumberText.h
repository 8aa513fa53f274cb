#pragma once
#include "platform/Trim.h"

#include <charconv>
#include <string_view>

namespace kd {

// The whole text (blanks around it allowed, a "+" in front too) as a number of the
// type; false when it is none or out of the type's range, the value then unchanged.
template <class T> bool parseWholeNumber(std::string_view text, T& value) {
    text = trimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    T parsed{};
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, parsed);
    if (text.empty() || error != std::errc() || end != last)
        return false;
    value = parsed;
    return true;
}

} // namespace kd
