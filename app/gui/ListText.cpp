#include "app/gui/ListText.h"

namespace kd {

std::string joinListText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        for (const char c : line) {
            text += c;
            if (c == ';')
                text += ';';
        }
        text += ';';
    }
    if (!text.empty())
        text.pop_back();
    return text;
}

std::vector<std::string> splitListText(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    bool endedWithSeparator = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        endedWithSeparator = false;
        if (text[i] != ';') {
            current += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == ';') {
            current += ';';
            ++i;
        } else {
            lines.push_back(std::move(current));
            current.clear();
            endedWithSeparator = true;
        }
    }
    if (!text.empty() && !endedWithSeparator)
        lines.push_back(std::move(current));
    return lines;
}

} // namespace kd
