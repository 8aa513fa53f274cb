#pragma once
#include "app/core/settings/ProgramSettings.h"
#include "platform/UiHost.h"

#include <string>
#include <vector>

namespace kd {

// Splits a settings line at its first "=": Key before it, Value after it. A line
// without "=" gives an empty Key and the whole line as Value.
void SplitSettingLine(const std::string& line, std::string& Key, std::string& Value);

// The settings file "Nastaven.txt": lines of key "=" value.
class SettingsFile {
public:
    static constexpr const char* FileName = "Nastaven.txt";

    // Reads the file over the defaults. Keys match exactly; unknown keys are ignored;
    // a later line wins. A value that is not valid for its key is ignored, and
    // reading goes on. A missing or unreadable file is reported through ui and the
    // defaults stand.
    static ProgramSettings read(const std::string& path, UiHost& ui,
                                const AdvertTables& adverts = {});

    // The fifteen lines the program writes, in their order.
    static std::vector<std::string> lines(const ProgramSettings& settings);
    // Replaces the file with those lines (atomically). Throws kd::Exception.
    static void write(const std::string& path, const ProgramSettings& settings);
};

} // namespace kd
