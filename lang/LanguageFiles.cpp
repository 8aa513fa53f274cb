#include "lang/LanguageFiles.h"

#include "lang/TResourceStrings.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kd {
namespace {

constexpr const char* kCzechHelp = "Kordyne.html";

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string joined(const std::string& dir, const std::string& name) {
    return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

} // namespace

std::optional<std::string> findFileIgnoringCase(const std::string& dir, const std::string& name) {
    std::error_code error;
    const std::string exact = joined(dir, name);
    if (std::filesystem::is_regular_file(exact, error))
        return exact;
    for (std::filesystem::directory_iterator it(dir.empty() ? "." : dir, error), end;
         !error && it != end; it.increment(error)) {
        const std::string found = it->path().filename().string();
        if (sameIgnoringCase(found, name) && it->is_regular_file(error))
            return joined(dir, found);
    }
    return std::nullopt;
}

std::string translationFileName(const std::string& code) {
    return "Transl_" + code + ".Ini";
}

std::string helpFileName(const std::string& code) {
    const std::string language = canonicalLanguageCode(code);
    return language == "CZ" ? kCzechHelp : "Kordyne_" + language + ".html";
}

std::string helpFilePath(const std::string& programDirectory, const std::string& code) {
    if (auto own = findFileIgnoringCase(programDirectory, helpFileName(code)))
        return *own;
    return joined(programDirectory, kCzechHelp);
}

} // namespace kd
