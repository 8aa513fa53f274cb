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

} // namespace

std::vector<DirEntry> listDirectory(const std::string& dir) {
    std::vector<DirEntry> entries;
    UniqueFd dirFd(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return entries;
    const int fd = dirFd.get();
    std::unique_ptr<DIR, DirCloser> handle(::fdopendir(dirFd.release()));
    if (!handle) {
        ::close(fd);
        return entries;
    }
    while (const dirent* e = ::readdir(handle.get())) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            // A link to a file is taken as that file; a link to a directory is not
            // followed (it could loop or lead out of the tree).
            if (::fstatat(fd, name.c_str(), &st, 0) != 0 || !S_ISREG(st.st_mode))
                continue;
        }
        if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
            continue;
        DirEntry entry;
        entry.name = name;
        entry.isDirectory = S_ISDIR(st.st_mode);
        entry.size = entry.isDirectory ? 0 : static_cast<std::uint64_t>(st.st_size);
        entry.modified = st.st_mtime;
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
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
