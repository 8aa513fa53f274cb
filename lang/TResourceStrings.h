#pragma once
#include "platform/UiHost.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kd {

// The numbered message texts of one language: message box texts and captions and
// log phrases, fetched by id. Each language is a resource "def_kd_" + code of lines
// "id=text"; everything after the first "=" is the text, blanks and quotes included.
class TResourceStrings {
public:
    // Gives the contents of the resource of that name (matched ignoring case), or
    // nullopt when there is none.
    using ResourceLookup = std::function<std::optional<std::string>(const std::string& name)>;

    // The resources compiled into the program.
    static std::optional<std::string> embeddedResource(const std::string& name);

    explicit TResourceStrings(const std::string& code, ResourceLookup lookup = embeddedResource);

    // Replaces the texts by those of the language. A language without a resource is
    // reported in a box (when a UI host is given) and the Czech texts are loaded in
    // its place, so that no box is ever left blank.
    void LoadLanguage(const std::string& code, UiHost* ui = nullptr);

    // The text of the id. A text that the language lacks (or leaves empty) is taken
    // from the Czech table, so that no box is left blank; empty when neither has it.
    std::string GetText(int id) const;

    // The code last asked for.
    const std::string& languageCode() const { return code_; }

private:
    using Lines = std::vector<std::pair<std::string, std::string>>; // id text, message text

    std::optional<Lines> readResource(const std::string& code) const;

    ResourceLookup lookup_;
    std::string code_;
    Lines lines_;
    Lines fallback_; // the Czech texts, when another language is loaded
};

// A language code as the program keeps it, in capitals ("en" is "EN"): files name
// their language in any letter case.
std::string canonicalLanguageCode(std::string code);

// The current language code ("CZ", "EN" or "SK"); set from the settings file.
extern std::string LanguageCode;
// The program's one message table, loaded with the Czech texts at start.
extern TResourceStrings ResourceStrings;

} // namespace kd
