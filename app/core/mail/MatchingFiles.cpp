#include "app/core/mail/MatchingFiles.h"

#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace kd {
namespace {

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Length of the UTF-8 character that starts with byte c.
std::size_t characterLength(unsigned char c) {
    return c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
}

} // namespace

bool nameMatches(std::string_view pattern, std::string_view name) {
    // Greedy matching with one point to come back to: the last "*" seen.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            ++p;
            n += characterLength(static_cast<unsigned char>(name[n]));
        } else if (p < pattern.size() && pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP;
            starN += characterLength(static_cast<unsigned char>(name[starN]));
            n = starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size() && n == name.size();
}

std::vector<std::string> matchingFiles(const std::string& pattern, std::size_t limit) {
    const std::size_t slash = pattern.rfind('/');
    const std::string directory = slash == std::string::npos ? "."
                                  : slash == 0               ? "/"
                                                             : pattern.substr(0, slash);
    const std::string prefix = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);

    std::vector<std::string> files;
    if (namePattern.empty() || limit == 0)
        return files;
    if (namePattern.find_first_of("*?") == std::string::npos) {
        if (isRegularFile(pattern))
            files.push_back(pattern);
        return files;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(directory.c_str()), ::closedir);
    if (!dir)
        return files;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !nameMatches(namePattern, name))
            continue;
        if (!isRegularFile(prefix + name))
            continue;
        files.push_back(prefix + name);
        if (files.size() == limit)
            break;
    }
    return files;
}

} // namespace kd
