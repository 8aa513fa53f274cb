#include "app/core/mail/MatchingFiles.h"

#include <cstdio>
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

// The number of the last part when archive names one of a set ("P.003": 3), else 0.
unsigned long lastPartNumber(const std::string& archive) {
    const std::size_t dot = archive.rfind('.');
    if (dot == std::string::npos || archive.find('/', dot) != std::string::npos)
        return 0;
    const std::string digits = archive.substr(dot + 1);
    // Three digits at least; more once a set passes 999 parts.
    if (digits.size() < 3 || digits.size() > 6 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return std::stoul(digits);
}

std::string partName(const std::string& stem, unsigned long number) {
    char extension[16];
    std::snprintf(extension, sizeof extension, ".%03lu", number);
    return stem + extension;
}

} // namespace

ArchiveFiles archiveFiles(const std::string& archive, std::size_t limit) {
    ArchiveFiles result;
    if (const unsigned long last = lastPartNumber(archive); last > 0) {
        const std::string stem = archive.substr(0, archive.rfind('.'));
        for (unsigned long number = 1; number <= last; ++number) {
            const std::string part = partName(stem, number);
            if (!isRegularFile(part))
                continue;
            ++result.total;
            if (result.files.size() < limit)
                result.files.push_back(part);
        }
        return result;
    }
    result.files = matchingFiles(archive, static_cast<std::size_t>(-1));
    result.total = result.files.size();
    if (result.files.size() > limit)
        result.files.resize(limit);
    return result;
}

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
