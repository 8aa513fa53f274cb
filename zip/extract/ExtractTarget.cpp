#include "zip/extract/ExtractTarget.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kd {

namespace {

std::string reason(int error) {
    return std::strerror(error);
}

// Opens the subdirectory name of dir, creating it when missing (made tells); never
// follows a link.
UniqueFd enterDirectory(int dir, const std::string& name, const std::string& shown, bool& made) {
    constexpr int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    made = false;
    int fd = ::openat(dir, name.c_str(), flags);
    if (fd < 0 && errno == ENOENT) {
        made = ::mkdirat(dir, name.c_str(), 0777) == 0;
        if (!made && errno != EEXIST)
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

DirectoryChain::DirectoryChain(bool watched)
    : changes_(watched ? std::make_unique<DirectoryWatch>() : nullptr) {}

int DirectoryChain::watch(int dirFd) {
    if (!changes_)
        return DirectoryWatch::kNoWatch;
    const int watch = changes_->Watch(dirFd);
    // A directory held twice (mounted within itself) shares its watch: giving that up
    // for one level would end it for the other, so this level goes unwatched.
    const bool shared = watch == baseWatch_ ||
                        std::any_of(open_.begin(), open_.end(),
                                    [&](const Level& level) { return level.watch == watch; });
    return shared && watch != DirectoryWatch::kNoWatch ? DirectoryWatch::kNoWatch : watch;
}

std::shared_ptr<const UniqueFd> DirectoryChain::Walk(int baseDir, const std::string& baseName,
                                                     const std::vector<std::string>& dirs) {
    if (!base_ || base_->get() < 0) {
        UniqueFd base(::fcntl(baseDir, F_DUPFD_CLOEXEC, 0));
        if (!base)
            throw ECreateTargetFailed("Cannot open the destination: " + reason(errno));
        base_ = std::make_shared<const UniqueFd>(std::move(base));
        baseWatch_ = watch(base_->get());
    }
    const std::size_t kept = keptPrefix(dirs);
    for (std::size_t i = kept; i < open_.size() && changes_; ++i)
        changes_->Unwatch(open_[i].watch);
    open_.resize(kept);
    ExtractPath walked;
    walked.Dirs.assign(dirs.begin(), dirs.begin() + static_cast<std::ptrdiff_t>(kept));
    for (std::size_t i = kept; i < dirs.size(); ++i) {
        walked.Dirs.push_back(dirs[i]);
        const int parent = i == 0 ? base_->get() : open_.back().dir->get();
        bool made = false;
        auto next = std::make_shared<const UniqueFd>(
            enterDirectory(parent, dirs[i], walked.JoinedTo(baseName), made));
        struct stat st {};
        if (::fstat(next->get(), &st) != 0)
            throw ECreateTargetFailed("Cannot open directory " + walked.JoinedTo(baseName) + ": " +
                                      reason(errno));
        if (made) {
            const std::lock_guard lock(madeMutex_);
            made_.emplace(st.st_dev, st.st_ino);
        }
        // Watched from here on; a move before this is its parent's event.
        const int watched = watch(next->get());
        open_.push_back({dirs[i], std::move(next), st.st_dev, st.st_ino, watched});
    }
    return dirs.empty() ? base_ : open_.back().dir;
}

void DirectoryChain::StopWatching() {
    changes_.reset();
    baseWatch_ = DirectoryWatch::kNoWatch;
    for (Level& level : open_)
        level.watch = DirectoryWatch::kNoWatch;
}

bool DirectoryChain::Made(dev_t device, ino_t inode) const {
    const std::lock_guard lock(madeMutex_);
    return made_.count({device, inode}) != 0;
}

std::size_t DirectoryChain::MadeCount() const {
    const std::lock_guard lock(madeMutex_);
    return made_.size();
}

bool DirectoryChain::unchanged(std::size_t levels) {
    // Taken on every walk, so that what was queued meanwhile is never held over.
    const bool quiet = changes_ && !changes_->Changed();
    if (!quiet || baseWatch_ == DirectoryWatch::kNoWatch)
        return false;
    for (std::size_t i = 0; i < levels; ++i)
        if (open_[i].watch == DirectoryWatch::kNoWatch)
            return false;
    return true;
}

std::size_t DirectoryChain::keptPrefix(const std::vector<std::string>& dirs) {
    std::size_t same = 0;
    while (same < open_.size() && same < dirs.size() && open_[same].name == dirs[same])
        ++same;
    if (unchanged(same))
        return same;
    std::size_t kept = 0;
    for (; kept < same; ++kept) {
        const Level& level = open_[kept];
        const int parent = kept == 0 ? base_->get() : open_[kept - 1].dir->get();
        struct stat st {};
        if (::fstatat(parent, level.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(st.st_mode) || st.st_dev != level.device || st.st_ino != level.inode)
            break;
    }
    return kept;
}

ExtractTarget ExtractTarget::Below(DirectoryChain& chain, int baseDir, const std::string& baseName,
                                   const ExtractPath& path) {
    return ExtractTarget(chain.Walk(baseDir, baseName, path.Dirs), path.Name,
                         path.JoinedTo(baseName));
}

ExtractTarget ExtractTarget::Below(int baseDir, const std::string& baseName,
                                   const ExtractPath& path) {
    DirectoryChain fresh;
    return Below(fresh, baseDir, baseName, path);
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
    return ExtractTarget(std::make_shared<const UniqueFd>(fd), name, path);
}

std::optional<ExtractTarget::Existing> ExtractTarget::Look() const {
    return LookAt(DirFd(), name_);
}

std::optional<ExtractTarget::Existing> ExtractTarget::LookAt(int dirFd, const std::string& name) {
    struct stat st {};
    if (::fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
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
