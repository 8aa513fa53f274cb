#pragma once
#include <string>
#include <string_view>

namespace kd {

// The program's version as "%d.%02d.%02d.%02d" (1.5.3.12 gives "1.05.03.12").
std::string GetFileVersion();
// The same from a dotted version text; missing or unreadable parts count as 0.
std::string formatFileVersion(std::string_view dotted);

// The version label: "Verze:" + the version + " z:" + the short date on which the
// executable file was last changed (no date when it cannot be read); the two words in
// the language of the code ("EN": "Version:", " of:"; "SK": "Verzia:", " z:").
std::string versionLabelText(const std::string& executablePath,
                             std::string_view languageCode = "CZ");

} // namespace kd
