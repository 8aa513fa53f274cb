#include "app/core/backup/PreviousArchive.h"

#include "platform/Exception.h"
#include "platform/FileOps.h"
#include "platform/RenameNoReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kd {
namespace {

constexpr std::size_t kSuffixLength = 6; // mkstemp's random characters

struct SplitPath {
    std::string directory;
    std::string name;
};

SplitPath split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {path.substr(0, slash), path.substr(slash + 1)};
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool isRegularFile(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

PreviousArchive::PreviousArchive(std::string path) : path_(std::move(path)) {
    recoverLeftCopies(path_);
    if (!exists(path_))
        return;
    const SplitPath parts = split(path_);
    aside_ = createTemporaryFile(parts.directory, "." + parts.name + ".");
    // Over the empty file just made for the purpose.
    if (std::rename(path_.c_str(), aside_.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        ::unlink(aside_.c_str());
        aside_.clear();
        throw Exception("Cannot move " + path_ + " aside: " + reason);
    }
}

PreviousArchive::~PreviousArchive() {
    if (!aside_.empty() && !renameNoReplace(aside_, path_))
        ::unlink(aside_.c_str()); // a new archive took the name meanwhile
}

void PreviousArchive::discard() {
    if (!aside_.empty())
        ::unlink(aside_.c_str());
    aside_.clear();
}

void PreviousArchive::recoverLeftCopies(const std::string& path) {
    const SplitPath parts = split(path);
    const std::string prefix = "." + parts.name + ".";
    std::vector<DirEntry> copies;
    for (const DirEntry& entry : listDirectory(parts.directory + "/").entries)
        if (entry.name.size() == prefix.size() + kSuffixLength &&
            entry.name.compare(0, prefix.size(), prefix) == 0 &&
            isRegularFile(parts.directory + "/" + entry.name))
            copies.push_back(entry);
    if (copies.empty())
        return;
    // The newest copy holds the last good backup; older ones are leftovers of runs
    // killed before it.
    std::sort(copies.begin(), copies.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.modified > b.modified; });
    const std::string newest = parts.directory + "/" + copies.front().name;
    std::size_t first = 0;
    if (!exists(path) && renameNoReplace(newest, path))
        first = 1;
    for (std::size_t i = first; i < copies.size(); ++i)
        ::unlink((parts.directory + "/" + copies[i].name).c_str());
}

} // namespace kd
