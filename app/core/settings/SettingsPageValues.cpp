#include "app/core/settings/SettingsPageValues.h"

#include "app/core/settings/OverwriteChoice.h"
#include "lang/Translations.h"
#include "platform/Trim.h"

#include <charconv>
#include <optional>

namespace kd {
namespace {

constexpr int kMsPerMinute = 60000;

enum class PageText { Interval, PackLevel, LineBreak };

constexpr std::array<Translations, 3> kTexts = {{
    {"Interval zálohování musí být celý počet minut od 1 do 35791.",
     "The backup interval must be a whole number of minutes from 1 to 35791.",
     "Interval zálohovania musí byť celý počet minút od 1 do 35791."},
    {"Stupeň komprese musí být číslo od 0 do 9.",
     "The compression level must be a number from 0 to 9.",
     "Stupeň kompresie musí byť číslo od 0 do 9."},
    {"Adresáře a hesla v nastavení nesmí obsahovat konec řádku.",
     "Directories and passwords in the settings must not contain a line break.",
     "Adresáre a heslá v nastavení nesmú obsahovať koniec riadku."},
}};

std::string pageText(std::string_view languageCode, PageText text) {
    return kTexts[static_cast<std::size_t>(text)].in(languageCode);
}

// Whole minutes in range, blanks allowed around the digits; nullopt for anything else.
std::optional<int> intervalMinutes(std::string_view text) {
    text = trimBlanks(text);
    int minutes = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), minutes);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        minutes < kMinIntervalMinutes || minutes > kMaxIntervalMinutes)
        return std::nullopt;
    return minutes;
}

bool hasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

int languagePosition(const std::string& code) {
    for (std::size_t i = 0; i < kLanguageCodes.size(); ++i)
        if (kLanguageCodes[i] == code)
            return static_cast<int>(i);
    return 0;
}

bool inRange(int position, std::size_t count) {
    return position >= 0 && position < static_cast<int>(count);
}

} // namespace

SettingsPageValues settingsPageValues(const ProgramSettings& s) {
    SettingsPageValues page;
    reloadOnEnter(s, page);
    page.fullPath = s.FullPath;
    page.keepTime = s.KeepTime;
    page.tempDir = s.TempPath;
    page.overwritePosition = overwriteChoiceOfMode(s.OverwriteMode);
    page.packLevel = s.PackLevel;
    page.profilePassword = s.ProfilePassword;
    page.adminPassword = s.AdminPassword;
    page.logDir = s.LogDirectory;
    page.languagePosition = languagePosition(s.LanguageCode);
    return page;
}

void reloadOnEnter(const ProgramSettings& s, SettingsPageValues& shown) {
    shown.startMode = s.AutoStartMode == 0 || s.AutoStartMode == 1 ? s.AutoStartMode : 2;
    shown.noQuestions = s.NoQuestions;
    shown.detailedInfo = s.DetailedInfo;
    shown.initDestDir = s.InitDestDir;
    shown.initRootDir = s.InitRootDir;
    shown.interval = std::to_string(s.TimerInterval / kMsPerMinute);
}

ProgramSettings settingsFromPage(const ProgramSettings& current, const SettingsPageValues& page,
                                 std::string_view languageCode) {
    using Field = EBadSettingsValue::Field;
    const auto minutes = intervalMinutes(page.interval);
    if (!minutes)
        throw EBadSettingsValue(Field::Interval, pageText(languageCode, PageText::Interval));
    if (page.packLevel < 0 || page.packLevel > kMaxPackLevel)
        throw EBadSettingsValue(Field::PackLevel, pageText(languageCode, PageText::PackLevel));
    for (const std::string* text : {&page.initDestDir, &page.initRootDir, &page.tempDir,
                                    &page.profilePassword, &page.adminPassword, &page.logDir})
        if (hasLineBreak(*text))
            throw EBadSettingsValue(Field::Text, pageText(languageCode, PageText::LineBreak));

    ProgramSettings s = current;
    if (inRange(page.startMode, kStartModeItems.size()))
        s.AutoStartMode = page.startMode;
    s.NoQuestions = page.noQuestions;
    s.DetailedInfo = page.detailedInfo;
    s.InitDestDir = page.initDestDir;
    s.InitRootDir = page.initRootDir;
    s.TimerInterval = *minutes * kMsPerMinute;
    s.TempPath = page.tempDir;
    // The file keeps the mode's ordinal, which reading turns back into both.
    if (const auto mode = overwriteModeOfChoice(page.overwritePosition))
        s.OverwriteMode = static_cast<int>(*mode);
    s.PackLevel = page.packLevel;
    s.ProfilePassword = page.profilePassword;
    s.AdminPassword = page.adminPassword;
    s.LogDirectory = page.logDir;
    s.FullPath = page.fullPath;
    if (inRange(page.languagePosition, kLanguageCodes.size()))
        s.LanguageCode = kLanguageCodes[static_cast<std::size_t>(page.languagePosition)];
    s.KeepTime = page.keepTime;
    return s;
}

} // namespace kd
