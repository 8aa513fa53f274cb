#include "widgets/text/TextWords.h"

namespace kd {

std::size_t CountWords(std::string_view text, const CharSet& delimiters) {
    std::size_t count = 0;
    bool inWord = false;
    for (char c : text) {
        const bool delimiter = delimiters.contains(c);
        if (!delimiter && !inWord)
            ++count;
        inWord = !delimiter;
    }
    return count;
}

std::size_t WordStart(std::size_t n, std::string_view text, const CharSet& delimiters) {
    if (n == 0)
        return 0;
    std::size_t count = 0;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool delimiter = delimiters.contains(text[i]);
        if (!delimiter && !inWord && ++count == n)
            return i + 1;
        inWord = !delimiter;
    }
    return 0;
}

std::string NthWord(std::size_t n, std::string_view text, const CharSet& delimiters) {
    const std::size_t start = WordStart(n, text, delimiters);
    if (start == 0)
        return {};
    std::size_t end = start - 1;
    while (end < text.size() && !delimiters.contains(text[end]))
        ++end;
    return std::string(text.substr(start - 1, end - (start - 1)));
}

std::string NextDelimitedField(std::string_view text, std::size_t& position,
                               const CharSet& delimiters) {
    if (position < 1)
        position = 1;
    std::string field;
    std::size_t i = position - 1;
    while (i < text.size() && !delimiters.contains(text[i]))
        field += text[i++];
    // Past the delimiter, or end + 1 when the field ran to the end.
    position = i < text.size() ? i + 2 : text.size() + 1;
    return field;
}

} // namespace kd
