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

// The UTF-8 byte order mark. A file that starts with it is UTF-8 for certain: files
// of the original program never do.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Joins the lines with CR LF (after each line) and writes them atomically, after a
// byte order mark when asked.
void writeTextLines(const std::string& path, const std::vector<std::string>& lines,
                    bool byteOrderMark = false);

} // namespace kd
