#include "app/core/runs/ProfileArchives.h"

#include "platform/FileOps.h"
#include "platform/Paths.h"

#include <algorithm>
#include <sys/stat.h>

namespace kd {
namespace {

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "_2024_3_7_10_0_0": six numbers, each after a "_".
bool isDateSuffix(std::string_view text) {
    for (int field = 0; field < 6; ++field) {
        if (text.empty() || text.front() != '_')
            return false;
        text.remove_prefix(1);
        const std::size_t end = std::min(text.find('_'), text.size());
        if (!allDigits(text.substr(0, end)))
            return false;
        text.remove_prefix(end);
    }
    return text.empty();
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

ProfileArchives::ProfileArchives(std::string targetDir, std::string profileName)
    : targetDir_(withoutTrailingSlash(targetDir)), profileName_(std::move(profileName)) {}

bool ProfileArchives::isPlainArchiveName(std::string_view name) const {
    if (profileName_.empty() || !name.starts_with(profileName_))
        return false;
    name.remove_prefix(profileName_.size());
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return false;
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension = name.substr(dot + 1);
    if (extension == "zip" && isDateSuffix(stem))
        return true;
    if (!stem.empty() && !allDigits(stem))
        return false;
    return extension == "zip" || extension == "exe" || extension == "zfc" ||
           (extension.size() == 3 && allDigits(extension));
}

bool ProfileArchives::isArchiveName(std::string_view name) const {
    if (isPlainArchiveName(name))
        return true;
    // The copy a run keeps aside: "." + archive + "." + six characters.
    constexpr std::size_t kSuffix = 7;
    return name.size() > kSuffix + 1 && name.front() == '.' && name[name.size() - kSuffix] == '.' &&
           isPlainArchiveName(name.substr(1, name.size() - kSuffix - 1));
}

std::vector<std::string> ProfileArchives::present() const {
    std::vector<std::string> paths;
    for (const DirEntry& entry : listDirectory(targetDir_ + "/").entries)
        if (!entry.isDirectory && isArchiveName(entry.name))
            paths.push_back(targetDir_ + "/" + entry.name);
    return paths;
}

bool ProfileArchives::covers(const std::string& path) const {
    return covers(path, FileStampOf(path));
}

bool ProfileArchives::covers(const std::string& path, const std::optional<FileStamp>& stamp) const {
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (isArchiveName(name) && (directory == targetDir_ || sameFile(directory, targetDir_)))
        return true;
    if (!stamp)
        return false;
    if (!presentIds_) {
        presentIds_.emplace();
        for (const std::string& archive : present())
            if (const auto id = FileStampOf(archive))
                presentIds_->push_back(*id);
    }
    return std::any_of(presentIds_->begin(), presentIds_->end(), [&](const FileStamp& id) {
        return id.device == stamp->device && id.inode == stamp->inode;
    });
}

} // namespace kd
