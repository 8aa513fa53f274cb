#pragma once
#include <string>

namespace kd {

// The text itself when a file of that name exists; otherwise its first item taken
// as a command line (blanks separate items, double quotes group them).
std::string TrimToFileName(const std::string& text);
// The name in double quotes when it holds a blank and does not start with a quote.
std::string QuoteIfSpaced(const std::string& name);
// The directory part of a path ("" for a bare name, "/" for a name in the root).
std::string DirectoryPart(const std::string& path);
// What follows the last "/".
std::string NamePart(const std::string& path);

} // namespace kd
