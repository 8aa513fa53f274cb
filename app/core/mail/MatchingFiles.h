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

// The files a mail of an archive carries, at most limit, and how many there are in all.
struct ArchiveFiles {
    std::vector<std::string> files;
    std::size_t total = 0;
};

// An archive in numbered parts goes by its last part (name.001 ... name.NNN): every
// part of the set, in order. Any other name is taken as a pattern (matchingFiles).
ArchiveFiles archiveFiles(const std::string& archive, std::size_t limit);

// Whether a name matches a pattern of "*" and "?" (UTF-8: "?" takes one character).
bool nameMatches(std::string_view pattern, std::string_view name);

} // namespace kd
