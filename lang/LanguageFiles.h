#pragma once
#include <optional>
#include <string>

namespace kd {

// The files of a language beside the executable. Their names carry the language code,
// and a file copied from another system may spell the name in any letter case, so
// each is looked for whatever the case of its name.

// The path of the file named name in dir (a trailing "/" optional), the name's letters
// compared without regard to case; an exact match first. nullopt when there is none.
std::optional<std::string> findFileIgnoringCase(const std::string& dir, const std::string& name);

// "Transl_" + code + ".Ini": the form texts of the language, in the "Lang" directory.
std::string translationFileName(const std::string& code);

// The help of the language beside the executable: "Kordyne.html" for Czech,
// "Kordyne_" + code + ".html" for the others.
std::string helpFileName(const std::string& code);

// The help to show in the language: its own file when it exists, else the Czech one.
std::string helpFilePath(const std::string& programDirectory, const std::string& code);

} // namespace kd
