#include "zip/extract/ExtractPath.h"

#include <algorithm>

#include "zip/base/WildMatch.h"
#include "zip/format/EntryName.h"

namespace kd {

namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

// Appends the components of path; false on "..".
bool appendComponents(std::string_view path, std::vector<std::string>& out) {
    while (!path.empty()) {
        const auto slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (part == "..")
            return false;
        if (!part.empty() && part != ".")
            out.emplace_back(part);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return true;
}

bool hasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

} // namespace

std::string ExtractPath::JoinedTo(const std::string& base) const {
    std::string result = base;
    auto add = [&result](const std::string& part) {
        if (!result.empty() && result.back() != '/')
            result += '/';
        result += part;
    };
    for (const auto& dir : Dirs)
        add(dir);
    if (!Name.empty())
        add(Name);
    return result;
}

std::optional<ExtractPath> MakeExtractPath(std::string_view storedName, std::string_view rootDir,
                                           bool recreateDirs) {
    const std::string name = WithForwardSlashes(storedName);
    const std::size_t split = EntryFileNameStart(name);
    std::string dir = name.substr(0, split);
    ExtractPath path;
    path.Name = name.substr(split);
    if (path.Name == "." || path.Name == "..")
        return std::nullopt;
    if (!recreateDirs)
        return path;
    const std::string root = WithForwardSlashes(rootDir);
    if (!root.empty() && startsWithNoCase(dir, root))
        dir.erase(0, root.size());
    std::string_view rest = dir;
    if (hasDrive(rest))
        rest.remove_prefix(2);
    if (!appendComponents(rest, path.Dirs))
        return std::nullopt;
    return path;
}

bool NamesNothing(std::string_view storedName) {
    if (hasDrive(storedName))
        storedName.remove_prefix(2);
    return storedName.find_first_not_of("/\\") == std::string_view::npos;
}

bool ExtractMaskMatches(std::string_view mask, std::string_view storedName) {
    if (WildcardMatch(mask, storedName))
        return true;
    const std::string_view leaf = storedName.substr(EntryFileNameStart(storedName));
    return !leaf.empty() && leaf.find('.') == std::string_view::npos &&
           WildcardMatch(mask, std::string(storedName) + ".");
}

} // namespace kd
