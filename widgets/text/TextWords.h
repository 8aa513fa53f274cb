#pragma once
#include "widgets/text/CharSet.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kd {

// Words are maximal runs of characters outside the delimiter set, numbered from 1;
// positions in a text are 1-based.

std::size_t CountWords(std::string_view text, const CharSet& delimiters);
// Position of the first character of word n; 0 when there are fewer words.
std::size_t WordStart(std::size_t n, std::string_view text, const CharSet& delimiters);
// Word n; empty when there are fewer words.
std::string NthWord(std::size_t n, std::string_view text, const CharSet& delimiters);
// The characters from position up to the next delimiter (or the end); position moves
// to just after that delimiter, or to the end + 1.
std::string NextDelimitedField(std::string_view text, std::size_t& position,
                               const CharSet& delimiters);

} // namespace kd
