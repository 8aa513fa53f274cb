#include "zip/writer/ZipWriterNames.h"

#include <filesystem>

#include "zip/base/WildMatch.h"

namespace kd {

StoredPath StoredEntryName(const std::string& name, const StoredPathOptions& options) {
    StoredPath stored;
    StoredEntryName(name, options, stored);
    return stored;
}

void StoredEntryName(std::string_view name, const StoredPathOptions& options, StoredPath& stored) {
    std::size_t split = name.size(); // a directory entry has no file name
    if (name.empty() || name.back() != '/') {
        const auto slash = name.rfind('/');
        split = slash == std::string_view::npos ? 0 : slash + 1;
    }
    stored.FileName.assign(name.substr(split));
    std::string_view dir = options.StorePaths ? name.substr(0, split) : std::string_view();
    const std::string_view root = options.RootDir;
    if (options.RelativePaths && !root.empty() && dir.starts_with(root))
        dir.remove_prefix(root.size());
    while (!dir.empty() && dir.front() == '/')
        dir.remove_prefix(1);
    stored.Directory.assign(dir);
}

bool MatchesMaskList(const std::vector<std::string>& masks, const std::string& name) {
    const auto slash = name.rfind('/');
    const std::string_view fileName = std::string_view(name).substr(slash + 1); // all without "/"
    for (const std::string& mask : masks)
        if (WildcardMatch(mask,
                          mask.find('/') != std::string::npos ? std::string_view(name) : fileName))
            return true;
    return false;
}

MaskItem SplitMaskItem(const std::string& item, bool recurse) {
    MaskItem result;
    result.Recurse = recurse;
    std::string rest = item;
    if (!rest.empty() && (rest.front() == '|' || rest.front() == '>')) {
        result.Recurse = rest.front() == '>';
        rest.erase(0, 1);
    }
    const auto slash = rest.rfind('/');
    const std::size_t split = slash == std::string::npos ? 0 : slash + 1;
    result.Directory = rest.substr(0, split);
    result.Mask = rest.substr(split);
    return result;
}

std::string ResolveName(const std::string& name, const std::string& base) {
    namespace fs = std::filesystem;
    fs::path path(name);
    if (path.is_relative()) {
        std::error_code ec;
        path = (base.empty() ? fs::current_path(ec) : fs::path(base)) / path;
    }
    std::string resolved = path.lexically_normal().string();
    // lexically_normal keeps a trailing "/" of a directory; "dir/." becomes "dir/".
    if (!name.empty() && name.back() == '/' && resolved.back() != '/')
        resolved += '/';
    return resolved;
}

} // namespace kd
