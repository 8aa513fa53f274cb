#pragma once
#include <array>
#include <string>

namespace kd {

// The five texts the advert banner rotates through.
using AdvertTexts = std::array<std::string, 5>;

// The program's global settings as held in "Nastaven.txt", with the values that
// stand when the file lacks a key. Some of them configure other parts (the ZIP
// writer, the advert banner); they are kept here and applied by those parts.
struct ProgramSettings {
    // After an automatic start: 0 end after the due backups, 1 hide, 2 stay a window.
    int AutoStartMode = 2;
    bool NoQuestions = false;
    bool DetailedInfo = true;
    std::string InitDestDir;
    std::string InitRootDir;
    // Schedule check interval in milliseconds; always > 0.
    int TimerInterval = 600000;
    // The ZIP writer's temporary directory; empty keeps the writer's own default.
    std::string TempPath;
    // The ZIP engine's overwrite mode (0 Prompt, 1 Always, 2 Never, 3 ifNewer,
    // 4 ifOlder), stored as this ordinal; the settings page shows its item.
    int OverwriteMode = 3;
    // The ZIP writer's compression level, 0-9.
    int PackLevel = 7;
    // Asked before a profile is created, edited or deleted; empty asks nothing.
    std::string ProfilePassword;
    // Asked before the settings page opens; empty asks nothing.
    std::string AdminPassword;
    // Directory of the global log; empty means the current directory.
    std::string LogDirectory;
    bool FullPath = false;
    std::string LanguageCode = "CZ";
    bool KeepTime = false;
    // False when the advert banner is hidden (key REKLAMA, set only by hand).
    bool ShowAdvert = true;
    AdvertTexts Adverts;

    bool operator==(const ProgramSettings&) const = default;
};

// The banner texts of each language, copied into the settings when the file names
// English or Slovak.
struct AdvertTables {
    AdvertTexts CZ, EN, SK;
};

} // namespace kd
