#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The files of a directory that a name taken as a pattern matches ("*" any run of
// characters, "?" one character, letter case kept, every other character itself),
// in the order the directory lists them, at most limit. Hidden and read-only files
// count; directories do not. Empty when the directory cannot be read.
std::vector<std::string> matchingFiles(const std::string& pattern, std::size_t limit);

// Whether a name matches a pattern of "*" and "?" (UTF-8: "?" takes one character).
bool nameMatches(std::string_view pattern, std::string_view name);

} // namespace kd
