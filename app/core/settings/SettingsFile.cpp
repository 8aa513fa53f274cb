#include "app/core/settings/SettingsFile.h"

#include "app/core/settings/BuiltInAdverts.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"

#include <charconv>
#include <climits>
#include <optional>

namespace kd {
namespace {

// A decimal integer with optional leading blanks and sign; nullopt for anything else.
std::optional<long long> parseInteger(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Drops blanks and control characters at both ends.
std::string trimBlanks(const std::string& text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

void reportError(UiHost& ui, const std::string& text) {
    ui.messageBox(text, ResourceStrings.GetText(20000), MsgButtons::Ok, MsgIcon::Error);
}

class SettingsReader {
public:
    SettingsReader(UiHost& ui, const AdvertTables& adverts) : ui_(ui), adverts_(adverts) {
        settings_.Adverts = adverts.CZ;
    }

    void apply(const std::string& key, const std::string& value);
    const ProgramSettings& settings() const { return settings_; }

private:
    void applyOverwrite(const std::string& value);
    void applyLanguage(const std::string& value);

    UiHost& ui_;
    const AdvertTables& adverts_;
    ProgramSettings settings_;
};

void SettingsReader::apply(const std::string& key, const std::string& value) {
    auto& s = settings_;
    if (key == "AUTSPUST")
        s.AutoStartMode = value == "AUTKONEC" ? 0 : value == "AUTSKRYT" ? 1 : 2;
    else if (key == "ZALOHA")
        s.NoQuestions = value == "BEZDOT";
    else if (key == "INFO_ZIP")
        s.DetailedInfo = value == "ANO";
    else if (key == "INIT_DEST_DIR")
        s.InitDestDir = value;
    else if (key == "INIT_ROOT_DIR")
        s.InitRootDir = value;
    else if (key == "TIMER") {
        // A bad interval keeps the one held so far; a zero or negative one would
        // make the timer spin.
        const auto interval = parseInteger(value);
        if (!interval)
            reportError(ui_, "'" + value + "' is not a valid integer value");
        else if (*interval > 0 && *interval <= INT_MAX)
            s.TimerInterval = static_cast<int>(*interval);
    } else if (key == "TEMPADRESAR")
        s.TempPath = value;
    else if (key == "PREPISOVAT")
        applyOverwrite(value);
    else if (key == "LEVEL") {
        const auto level = parseInteger(value);
        if (!level)
            s.PackLevel = 7;
        else if (*level >= 0 && *level <= 9)
            s.PackLevel = static_cast<int>(*level);
    } else if (key == "REKLAMA") {
        if (value == "NE")
            s.ShowAdvert = false;
    } else if (key == "HESLO")
        s.ProfilePassword = value;
    else if (key == "HESLO_ADMIN")
        s.AdminPassword = value;
    else if (key == "LOG_ADRESAR")
        s.LogDirectory = value;
    else if (key == "PLAC_REKLAMA")
        s.Adverts[4] = value;
    else if (key == "FULLPATH")
        s.FullPath = value == "ANO";
    else if (key == "LANGUAGE")
        applyLanguage(value);
    else if (key == "DODRZ_CAS")
        s.KeepTime = value == "ANO";
}

void SettingsReader::applyOverwrite(const std::string& value) {
    const auto mode = parseInteger(value);
    if (!mode) {
        settings_.OverwriteMode = 2;
    } else if (*mode >= 0 && *mode <= 4) {
        settings_.OverwriteMode = static_cast<int>(*mode);
    }
}

void SettingsReader::applyLanguage(const std::string& value) {
    // A file written by hand may give the code in small letters.
    settings_.LanguageCode = canonicalLanguageCode(value);
    if (settings_.LanguageCode == "EN" || settings_.LanguageCode == "SK")
        settings_.Adverts = advertsIn(adverts_, settings_.LanguageCode);
}

} // namespace

void SplitSettingLine(const std::string& line, std::string& Key, std::string& Value) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) {
        Key.clear();
        Value = line;
        return;
    }
    Key = line.substr(0, eq);
    Value = line.substr(eq + 1);
}

ProgramSettings SettingsFile::read(const std::string& path, UiHost& ui,
                                   const AdvertTables& adverts) {
    SettingsReader reader(ui, adverts);
    std::vector<std::string> fileLines;
    try {
        fileLines = readTextLines(path);
    } catch (const Exception& e) {
        reportError(ui, e.what());
    }
    std::string key, value;
    for (const auto& line : fileLines) {
        SplitSettingLine(line, key, value);
        reader.apply(key, value);
    }
    return reader.settings();
}

std::vector<std::string> SettingsFile::lines(const ProgramSettings& s) {
    static const char* const autoStart[] = {"AUTKONEC", "AUTSKRYT", "AUTPRGM"};
    static const char* const languages[] = {"CZ", "EN", "SK"};
    const auto yesNo = [](bool on) { return std::string(on ? "ANO" : "NE"); };
    const int autoIndex = s.AutoStartMode >= 0 && s.AutoStartMode <= 2 ? s.AutoStartMode : 2;
    // The settings page offers the three languages; anything else shows as Czech.
    std::string language = languages[0];
    for (const char* code : languages)
        if (s.LanguageCode == code)
            language = code;
    return {
        std::string("AUTSPUST=") + autoStart[autoIndex],
        std::string("ZALOHA=") + (s.NoQuestions ? "BEZDOT" : "S_DOT"),
        "INFO_ZIP=" + yesNo(s.DetailedInfo),
        "INIT_DEST_DIR=" + s.InitDestDir,
        "INIT_ROOT_DIR=" + s.InitRootDir,
        "TIMER=" + std::to_string(s.TimerInterval),
        "TEMPADRESAR=" + s.TempPath,
        "PREPISOVAT=" + std::to_string(s.OverwriteMode),
        "LEVEL=" + std::to_string(s.PackLevel),
        "HESLO=" + trimBlanks(s.ProfilePassword),
        "HESLO_ADMIN=" + trimBlanks(s.AdminPassword),
        "LOG_ADRESAR=" + s.LogDirectory,
        "FULLPATH=" + yesNo(s.FullPath),
        "LANGUAGE=" + language,
        "DODRZ_CAS=" + yesNo(s.KeepTime),
    };
}

void SettingsFile::write(const std::string& path, const ProgramSettings& settings) {
    writeTextLines(path, lines(settings));
}

} // namespace kd
