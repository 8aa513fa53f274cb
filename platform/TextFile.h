#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// Text files of the program (settings, profiles, stamps, logs). They are read as
// UTF-8 when valid (a BOM is dropped) and as Windows-1250 otherwise, so files of the
// original program still load; they are written as UTF-8 with CR LF line ends.

// Converts raw file bytes to UTF-8 text by the rule above.
std::string decodeTextBytes(std::string_view bytes);

// Splits text into lines at LF, CR LF or a lone CR; no trailing empty line.
std::vector<std::string> splitLines(std::string_view text);

// Reads and decodes a text file into lines; throws kd::Exception when unreadable.
std::vector<std::string> readTextLines(const std::string& path);

// Joins the lines with CR LF (after each line) and writes them atomically.
void writeTextLines(const std::string& path, const std::vector<std::string>& lines);

} // namespace kd
