#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The profile editor keeps a list (masks, directories) in one field: the lines joined
// with ";", a ";" inside a line written as ";;".
std::string joinListText(const std::vector<std::string>& lines);
// The reverse of joinListText; an empty text gives no lines.
std::vector<std::string> splitListText(std::string_view text);

} // namespace kd
