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
    if (loadResource(code))
        return;
    if (ui)
        reportMissingLanguage(*ui, code);
    if (code != defaultLanguage)
        loadResource(defaultLanguage);
}

bool TResourceStrings::loadResource(const std::string& code) {
    lines_.clear();
    const auto data = lookup_ ? lookup_("def_kd_" + code) : std::nullopt;
    if (!data)
        return false;
    for (auto& line : splitLines(decodeTextBytes(*data))) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            lines_.emplace_back(std::move(line), std::string());
        else
            lines_.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return true;
}

std::string TResourceStrings::GetText(int id) const {
    const std::string name = std::to_string(id);
    for (const auto& [lineId, text] : lines_)
        if (lineId == name)
            return text;
    return {};
}

} // namespace kd
