#pragma once
#include "app/core/settings/ProgramSettings.h"
#include "platform/Exception.h"

#include <array>
#include <string>
#include <string_view>

namespace kd {

// What the settings page "Nastavení" shows, control by control. Choice positions are
// -1 when nothing is chosen; the interval is the text typed, in minutes.
struct SettingsPageValues {
    int startMode = 2;           // RGTypSpusteni: 0 end, 1 hide, 2 stay a program
    bool noQuestions = false;    // ChBBezDotazu
    bool detailedInfo = true;    // ChBInformZip
    std::string interval;        // EditInterval
    bool fullPath = false;       // chb_FullPath
    bool keepTime = false;       // chb_DodrzCas
    std::string initDestDir;     // EditNastCilZal
    std::string initRootDir;     // EditNastStartZal
    std::string tempDir;         // edt_TemAdresar
    int overwritePosition = -1;  // Overwrite, a position of kOverwriteChoiceItems
    int packLevel = 7;           // edt_PackLevel
    std::string profilePassword; // edt_Heslo
    std::string adminPassword;   // edt_PasswordAdmin
    std::string logDir;          // edt_LogZalohy
    int languagePosition = 0;    // cb_Language: 0 "CZ", 1 "EN", 2 "SK"

    bool operator==(const SettingsPageValues&) const = default;
};

inline constexpr std::array<std::string_view, 3> kStartModeItems = {
    "Automatické ukončení po provedení záloh", "Po automatickém spuštění skrýt",
    "Po automatickém spuštění jako program"};
inline constexpr std::array<std::string_view, 3> kLanguageItems = {"Česky", "English", "Slovensky"};
inline constexpr std::array<std::string_view, 3> kLanguageCodes = {"CZ", "EN", "SK"};

// The interval's range in whole minutes: its milliseconds must fit a signed 32-bit
// number, as the file's readers expect.
inline constexpr int kMinIntervalMinutes = 1;
inline constexpr int kMaxIntervalMinutes = 35791;
inline constexpr int kMaxPackLevel = 9;

// A value of the page that cannot be saved; the message says which and why.
class EBadSettingsValue : public Exception {
public:
    enum class Field { Interval, PackLevel, Text };
    EBadSettingsValue(Field field, const std::string& message)
        : Exception(message), field_(field) {}
    Field field() const { return field_; }

private:
    Field field_;
};

// Every control as the settings file sets it (what start-up shows on the page).
SettingsPageValues settingsPageValues(const ProgramSettings& settings);

// Entering the page reloads these controls from the settings: the start mode, the two
// question boxes, the two proposed directories and the interval (whole minutes,
// truncated). The others keep what they show.
void reloadOnEnter(const ProgramSettings& settings, SettingsPageValues& shown);

// The settings the page stands for, over current. Checks every value first: the
// interval, the level and that no text holds a line break. Throws EBadSettingsValue,
// its message in the language languageCode. A choice with no position keeps the
// current value. Passwords are taken as typed (the file stores them trimmed).
ProgramSettings settingsFromPage(const ProgramSettings& current, const SettingsPageValues& page,
                                 std::string_view languageCode);

} // namespace kd
