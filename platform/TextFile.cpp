#include "platform/TextFile.h"

#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

namespace kd {

std::string decodeTextBytes(std::string_view bytes) {
    if (bytes.starts_with(Utf8Bom))
        bytes.remove_prefix(Utf8Bom.size());
    if (isValidUtf8(bytes))
        return std::string(bytes);
    return toUtf8(bytes, CodePage::Cp1250);
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> readTextLines(const std::string& path) {
    return splitLines(decodeTextBytes(readWholeFile(path)));
}

void writeTextLines(const std::string& path, const std::vector<std::string>& lines,
                    bool byteOrderMark) {
    std::string data(byteOrderMark ? Utf8Bom : std::string_view());
    for (const auto& line : lines) {
        data += line;
        data += "\r\n";
    }
    writeFileAtomically(path, data);
}

} // namespace kd
