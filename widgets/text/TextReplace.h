#pragma once
#include <string>
#include <string_view>

namespace kd {

// Every occurrence of search, found left to right without overlap, becomes
// replacement; replaced text is not searched again. An empty search changes nothing.
std::string ReplaceAllText(std::string_view text, std::string_view search,
                           std::string_view replacement);
// The text without any occurrence of the character.
std::string RemoveCharacter(std::string_view text, char character);

} // namespace kd
