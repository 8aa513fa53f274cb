#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kd {

// The two 8-bit code pages of the original program: Windows-1250 (its "ANSI" page,
// used by its text files) and CP852 (its "OEM" page, used by ZIP entry names).
// Text inside the program is UTF-8.
enum class CodePage { Cp1250, Cp852 };

std::string toUtf8(std::string_view bytes, CodePage page);

// Converts UTF-8 to the code page; nullopt when a character has no byte there.
std::optional<std::string> fromUtf8(std::string_view utf8, CodePage page);

// Like fromUtf8, but replaces characters without a byte by '?'.
std::string fromUtf8Lossy(std::string_view utf8, CodePage page);

bool isValidUtf8(std::string_view bytes);

// Number of UTF-8 sequences (characters) in a valid UTF-8 string.
std::size_t utf8Length(std::string_view utf8);

// Decodes the character starting at bytes[pos]; advances pos. Invalid bytes decode
// as themselves (one byte each), so that every input makes progress.
char32_t nextCodePoint(std::string_view bytes, std::size_t& pos);

void appendUtf8(std::string& out, char32_t codePoint);

} // namespace kd
