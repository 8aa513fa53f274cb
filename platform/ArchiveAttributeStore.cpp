#include "platform/ArchiveAttributeStore.h"

#include <array>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <sys/xattr.h>

#include "platform/AtomicFile.h"

namespace kd {

namespace {

// The position of the n-th space of line; npos when it has fewer.
std::size_t nthSpace(const std::string& line, int n) {
    std::size_t pos = std::string::npos;
    for (std::size_t from = 0; n-- > 0; from = pos + 1)
        if ((pos = line.find(' ', from)) == std::string::npos)
            break;
    return pos;
}

} // namespace

ArchiveAttributeStore::ArchiveAttributeStore(std::string indexFile)
    : indexFile_(indexFile.empty() ? DefaultIndexFile() : std::move(indexFile)) {}

ArchiveAttributeStore::~ArchiveAttributeStore() {
    try {
        Flush();
    } catch (...) {
        // An index that cannot be written leaves the attributes set: files are
        // archived again, never left out.
    }
}

std::string ArchiveAttributeStore::DefaultIndexFile() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return std::string(state) + "/kordyne/archived.idx";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/state/kordyne/archived.idx";
}

std::optional<ArchiveStamp> ArchiveAttributeStore::Recorded(const std::string& path) {
    return lookUp(path, -1);
}

std::optional<ArchiveStamp> ArchiveAttributeStore::Recorded(const std::string& path, int fd) {
    return lookUp(path, fd);
}

std::optional<ArchiveStamp> ArchiveAttributeStore::lookUp(const std::string& path, int fd) {
    if (useXattr_) {
        std::array<char, 96> value{};
        const ssize_t n =
            fd >= 0 ? ::fgetxattr(fd, kXattrName, value.data(), value.size() - 1)
                    : ::getxattr(path.c_str(), kXattrName, value.data(), value.size() - 1);
        if (n >= 0)
            return ParseArchiveStamp(std::string(value.data(), static_cast<std::size_t>(n)));
    }
    const std::lock_guard lock(mutex_);
    loadIndex();
    const auto found = index_.find(path);
    return found == index_.end() ? std::nullopt : std::optional(found->second);
}

void ArchiveAttributeStore::Reset(const std::string& path, const ArchiveStamp& stamp) {
    const std::lock_guard lock(mutex_);
    const std::string value = FormatArchiveStamp(stamp);
    if (useXattr_ && ::setxattr(path.c_str(), kXattrName, value.data(), value.size(), 0) == 0) {
        if (loaded_ && index_.erase(path))
            dirty_ = true;
        return;
    }
    if (path.find('\n') != std::string::npos)
        return; // no line can hold it; the attribute stays set
    loadIndex();
    index_[path] = stamp;
    dirty_ = true;
}

void ArchiveAttributeStore::loadIndex() {
    if (loaded_)
        return;
    loaded_ = true;
    std::string text;
    try {
        text = readWholeFile(indexFile_);
    } catch (const std::exception&) {
        return; // no index yet
    }
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        // Three numbers, then the path (which may hold spaces).
        const std::size_t cut = nthSpace(line, 3);
        if (cut == std::string::npos)
            continue;
        if (const auto stamp = ParseArchiveStamp(line.substr(0, cut)))
            index_[line.substr(cut + 1)] = *stamp;
    }
}

void ArchiveAttributeStore::Flush() {
    const std::lock_guard lock(mutex_);
    if (!dirty_)
        return;
    // Entries of files that are gone are dropped on the way.
    std::string text;
    for (const auto& [path, stamp] : index_) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec))
            text += FormatArchiveStamp(stamp) + ' ' + path + '\n';
    }
    std::filesystem::create_directories(std::filesystem::path(indexFile_).parent_path());
    writeFileAtomically(indexFile_, text);
    dirty_ = false;
}

} // namespace kd
