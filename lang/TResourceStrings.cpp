#include "lang/TResourceStrings.h"

#include "lang/EmbeddedResource.h"
#include "platform/TextFile.h"

namespace kd {
namespace {

const std::string defaultLanguage = "CZ";

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void reportMissingLanguage(UiHost& ui, const std::string& code) {
    if (code == "EN")
        ui.messageBox("Is not possible read language-file \"def_kd_" + code + "\"", "Information",
                      MsgButtons::Ok, MsgIcon::Information);
    else
        ui.messageBox("Nelze načíst soubor jazyk.mutace def_kd_" + code, "Upozornění",
                      MsgButtons::Ok, MsgIcon::Warning);
}

} // namespace

std::string canonicalLanguageCode(std::string code) {
    return upperAscii(std::move(code));
}

std::string LanguageCode = defaultLanguage;
TResourceStrings ResourceStrings(defaultLanguage);

std::optional<std::string> TResourceStrings::embeddedResource(const std::string& name) {
    const std::string wanted = upperAscii(name);
    for (const auto& resource : embeddedLanguageResources())
        if (wanted == resource.name)
            return std::string(reinterpret_cast<const char*>(resource.data), resource.size);
    return std::nullopt;
}

TResourceStrings::TResourceStrings(const std::string& code, ResourceLookup lookup)
    : lookup_(std::move(lookup)) {
    LoadLanguage(code);
}

void TResourceStrings::LoadLanguage(const std::string& code, UiHost* ui) {
    code_ = code;
    fallback_.clear();
    auto lines = readResource(code);
    if (!lines && ui)
        reportMissingLanguage(*ui, code);
    if (canonicalLanguageCode(code) != defaultLanguage)
        fallback_ = readResource(defaultLanguage).value_or(Lines{});
    lines_ = lines.value_or(Lines{});
}

std::optional<TResourceStrings::Lines>
TResourceStrings::readResource(const std::string& code) const {
    const auto data = lookup_ ? lookup_("def_kd_" + code) : std::nullopt;
    if (!data)
        return std::nullopt;
    Lines lines;
    for (auto& line : splitLines(decodeTextBytes(*data))) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            lines.emplace_back(std::move(line), std::string());
        else
            lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return lines;
}

namespace {

std::string findText(const std::vector<std::pair<std::string, std::string>>& lines,
                     const std::string& id) {
    for (const auto& [lineId, text] : lines)
        if (lineId == id)
            return text;
    return {};
}

} // namespace

std::string TResourceStrings::GetText(int id) const {
    const std::string name = std::to_string(id);
    std::string text = findText(lines_, name);
    return text.empty() ? findText(fallback_, name) : text;
}

} // namespace kd
