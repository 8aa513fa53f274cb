#include "platform/FileOps.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <sys/stat.h>

#include "platform/Exception.h"
#include "platform/FileStream.h"
#include "platform/TempFileBeside.h"
#include "platform/UniqueFd.h"

namespace kd {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

std::string parentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<dev_t> deviceOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return st.st_dev;
    if (::stat(parentOf(path).c_str(), &st) == 0)
        return st.st_dev;
    return std::nullopt;
}

// The entry as the listing gives it; nullopt for a link to a directory, which is not
// part of the tree (following it could loop or lead out of the tree).
std::optional<DirEntry> examineEntry(int dirFd, const dirent& e) {
    DirEntry entry;
    entry.name = e.d_name;
    entry.isDirectory = e.d_type == DT_DIR;
    struct stat st {};
    bool examined = ::fstatat(dirFd, e.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
    const bool link = examined && S_ISLNK(st.st_mode);
    if (link)
        examined = ::fstatat(dirFd, e.d_name, &st, 0) == 0;
    if (!examined) {
        entry.isDirectory = entry.isDirectory && !link;
        entry.kind = DirEntryKind::Unreadable;
        entry.error = errno;
        return entry;
    }
    entry.isDirectory = S_ISDIR(st.st_mode);
    if (entry.isDirectory && link)
        return std::nullopt;
    entry.kind = entry.isDirectory     ? DirEntryKind::Directory
                 : S_ISREG(st.st_mode) ? DirEntryKind::File
                                       : DirEntryKind::Special;
    entry.size = entry.kind == DirEntryKind::File ? static_cast<std::uint64_t>(st.st_size) : 0;
    entry.modified = st.st_mtime;
    entry.stamp = FileStampOf(st);
    entry.mode = st.st_mode;
    return entry;
}

} // namespace

DirListing listDirectory(const std::string& dir) {
    DirListing listing;
    UniqueFd dirFd(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd) {
        listing.error = errno;
        return listing;
    }
    const int fd = dirFd.get();
    std::unique_ptr<DIR, DirCloser> handle(::fdopendir(dirFd.release()));
    if (!handle) {
        listing.error = errno;
        ::close(fd);
        return listing;
    }
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(handle.get());
        if (!e) {
            listing.error = errno;
            break;
        }
        const std::string_view name = e->d_name;
        if (name == "." || name == "..")
            continue;
        if (auto entry = examineEntry(fd, *e))
            listing.entries.push_back(std::move(*entry));
    }
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return listing;
}

std::string createTemporaryFile(const std::string& dir, const std::string& prefix) {
    std::string templ = (dir.empty() ? std::string(".") : dir);
    if (templ.back() != '/')
        templ += '/';
    templ += prefix + "XXXXXX";
    UniqueFd fd(::mkostemp(templ.data(), O_CLOEXEC));
    if (!fd)
        throw Exception("Cannot create a temporary file in \"" + dir +
                        "\": " + std::strerror(errno));
    return templ;
}

std::optional<std::time_t> fileModificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return st.st_mtime;
}

bool pathExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool sameFileSystem(const std::string& a, const std::string& b) {
    const auto da = deviceOf(a);
    const auto db = deviceOf(b);
    return da && db && *da == *db;
}

bool renameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void copyFile(const std::string& from, const std::string& to) {
    try {
        FileStream source(from, FileOpenMode::Read);
        TempFileBeside temp(to, 0600);
        FileStream target(temp.DupFd(), to);
        target.CopyFrom(source, static_cast<std::uint64_t>(source.Size()));
        struct stat st {};
        if (::fstat(source.Handle(), &st) == 0)
            ::fchmod(target.Handle(), st.st_mode & 07777);
        target.FlushToDevice();
        target.Close();
        temp.Publish();
    } catch (const std::exception& e) {
        throw Exception("Could not copy from " + from + " -> " + to + ": " + e.what());
    }
}

} // namespace kd
