#include "widgets/text/TextReplace.h"

namespace kd {

std::string ReplaceAllText(std::string_view text, std::string_view search,
                           std::string_view replacement) {
    if (search.empty())
        return std::string(text);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t hit = text.find(search); hit != std::string_view::npos;
         hit = text.find(search, from)) {
        result.append(text.substr(from, hit - from));
        result.append(replacement);
        from = hit + search.size();
    }
    result.append(text.substr(from));
    return result;
}

std::string RemoveCharacter(std::string_view text, char character) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        if (c != character)
            result += c;
    return result;
}

} // namespace kd
