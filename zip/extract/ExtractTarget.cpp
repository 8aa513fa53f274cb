#include "zip/extract/ExtractTarget.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kd {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

// Opens the subdirectory name of dir, creating it when missing; never follows a link.
UniqueFd enterDirectory(int dir, const std::string& name, const std::string& shown) {
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dir, name.c_str(), flags);
    if (fd < 0 && errno == ENOENT) {
        if (::mkdirat(dir, name.c_str(), 0777) != 0 && errno != EEXIST)
            throw ECreateTargetFailed("Cannot create directory " + shown + ": " + reason(errno));
        fd = ::openat(dir, name.c_str(), flags);
    }
    if (fd >= 0)
        return UniqueFd(fd);
    const int error = errno;
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
        throw EUnsafePath("Refused to extract through the symbolic link " + shown);
    throw ECreateTargetFailed("Cannot open directory " + shown + ": " + reason(error));
}

} // namespace

UniqueFd OpenExtractBase(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw Exception("Cannot open the destination directory " + dir + ": " + reason(errno));
    return UniqueFd(fd);
}

ExtractTarget ExtractTarget::Below(int baseDir, const std::string& baseName,
                                   const ExtractPath& path) {
    UniqueFd current(::fcntl(baseDir, F_DUPFD_CLOEXEC, 0));
    if (!current)
        throw ECreateTargetFailed("Cannot open the destination: " + reason(errno));
    ExtractPath walked;
    for (const auto& dir : path.Dirs) {
        walked.Dirs.push_back(dir);
        current = enterDirectory(current.get(), dir, walked.JoinedTo(baseName));
    }
    return ExtractTarget(std::move(current), path.Name, path.JoinedTo(baseName));
}

ExtractTarget ExtractTarget::At(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string dir =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..")
        throw ECreateTargetFailed("Not a file name: " + path);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw ECreateTargetFailed("Cannot open directory " + dir + ": " + reason(errno));
    return ExtractTarget(UniqueFd(fd), name, path);
}

std::optional<ExtractTarget::Existing> ExtractTarget::Look() const {
    struct stat st {};
    if (::fstatat(DirFd(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    Existing existing;
    existing.isDirectory = S_ISDIR(st.st_mode);
    existing.writable = S_ISLNK(st.st_mode) || (st.st_mode & S_IWUSR) != 0;
    existing.modified = st.st_mtime;
    if (S_ISREG(st.st_mode))
        existing.fileMode = st.st_mode & 07777;
    return existing;
}

} // namespace kd
