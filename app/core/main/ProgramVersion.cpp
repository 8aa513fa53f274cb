#include "app/core/main/ProgramVersion.h"

#include "lang/Translations.h"
#include "platform/DateText.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <sys/stat.h>

namespace kd {

std::string formatFileVersion(std::string_view dotted) {
    std::array<unsigned, 4> parts{};
    for (unsigned& part : parts) {
        const std::size_t dot = dotted.find('.');
        const std::string_view piece = dotted.substr(0, dot);
        std::from_chars(piece.data(), piece.data() + piece.size(), part);
        part &= 0xFFFF;
        dotted = dot == std::string_view::npos ? std::string_view() : dotted.substr(dot + 1);
    }
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u.%02u.%02u", parts[0], parts[1], parts[2], parts[3]);
    return text;
}

std::string GetFileVersion() {
    return formatFileVersion(KORDYNE_VERSION);
}

std::string versionLabelText(const std::string& executablePath, std::string_view languageCode) {
    static constexpr Translations kVersion{"Verze:", "Version:", "Verzia:"};
    static constexpr Translations kOf{" z:", " of:", " z:"};
    std::string text = kVersion.in(languageCode) + GetFileVersion() + kOf.in(languageCode);
    struct stat info {};
    if (::stat(executablePath.c_str(), &info) == 0)
        text += formatShortDate(toDateTime(info.st_mtime));
    return text;
}

} // namespace kd
