#pragma once
#include <string>
#include <string_view>

namespace kd {

// True when the path names an existing directory (symbolic links followed). Every
// component of the path must exist: "dir/missing/.." is not a directory.
bool IsExistingDirectory(const std::string& path);
// True when any character of the list occurs in the text.
bool ContainsAnyChar(std::string_view text, std::string_view characters);
// Not empty and free of the characters < > " [ ] |.
bool IsValidFileName(std::string_view name);
// Removes one final "/" from a path longer than one character, so "/" stays.
std::string StripTrailingBackslash(std::string_view path);

// Linux keeps one name per file: there are no short (8.3) names. The name routines
// give the last component's name when it exists (empty when it does not), and the
// path routines give the path unchanged.
std::string LongFileNameOf(const std::string& path);
std::string ShortFileNameOf(const std::string& path);
std::string LongPathOf(const std::string& path);
std::string ShortPathOf(const std::string& path);

} // namespace kd
