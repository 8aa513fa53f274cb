#include "widgets/files/FileNameTests.h"

#include <sys/stat.h>

namespace kd {

bool IsExistingDirectory(const std::string& path) {
    // stat resolves every component in turn, so a missing one fails the test even
    // when a later ".." would cancel it out lexically.
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ContainsAnyChar(std::string_view text, std::string_view characters) {
    return text.find_first_of(characters) != std::string_view::npos;
}

bool IsValidFileName(std::string_view name) {
    return !name.empty() && !ContainsAnyChar(name, "<>\"[]|");
}

std::string StripTrailingBackslash(std::string_view path) {
    if (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return std::string(path);
}

std::string LongFileNameOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) != 0)
        return {};
    const std::string stripped = StripTrailingBackslash(path);
    const std::size_t slash = stripped.rfind('/');
    return slash == std::string::npos || stripped == "/" ? stripped : stripped.substr(slash + 1);
}

std::string ShortFileNameOf(const std::string& path) {
    return LongFileNameOf(path);
}

std::string LongPathOf(const std::string& path) {
    return path;
}

std::string ShortPathOf(const std::string& path) {
    return path;
}

} // namespace kd
