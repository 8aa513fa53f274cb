#include "platform/TempFileBeside.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <random>

#include "platform/Exception.h"

namespace kd {

namespace {

std::atomic<bool> unnamedAllowed{true};

constexpr int kNameAttempts = 100;

std::string randomName() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kChars) - 2);
    std::string name(kTempFilePrefix);
    for (int i = 0; i < 10; ++i)
        name += kChars[pick(random)];
    return name;
}

// linkat needs the descriptor as a path; without /proc it would fail only after the
// whole file is written, so such a system gets named files from the start.
bool procFdUsable() {
    static const bool usable = ::access("/proc/self/fd", X_OK) == 0;
    return usable;
}

// Gives the open file fd the name name in dirFd. Kernels that let the opener link
// its descriptor itself save the look-up through /proc.
bool linkFile(int fd, int dirFd, const std::string& name) {
    static std::atomic<bool> emptyPathLinks{true};
    if (emptyPathLinks) {
        if (::linkat(fd, "", dirFd, name.c_str(), AT_EMPTY_PATH) == 0)
            return true;
        if (errno != ENOENT && errno != EPERM)
            return false; // not a matter of permission: /proc would say the same
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        emptyPathLinks = false;
        return true;
    }
    return false;
}

// A run keeps every part of a set open until it is placed: when the descriptors run
// out, the soft limit is raised to the hard one. False when it cannot be raised.
bool raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max)
        return false;
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

// Runs open (returning a descriptor) again after raising the limit when it ran out.
template <typename Open> int withDescriptorRoom(Open open) {
    const int fd = open();
    if (fd >= 0 || errno != EMFILE)
        return fd;
    if (!raiseDescriptorLimit()) {
        errno = EMFILE;
        return -1;
    }
    return open();
}

int openAt(int dir, const char* name, int flags, mode_t mode) {
    return withDescriptorRoom([&] { return ::openat(dir, name, flags, mode); });
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

UniqueFd openDirectory(const std::string& dir) {
    return UniqueFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

UniqueFd duplicate(int fd) {
    return UniqueFd(withDescriptorRoom([fd] { return ::fcntl(fd, F_DUPFD_CLOEXEC, 0); }));
}

// Removes dir's entry name when it is a stale temporary file: a regular file (never
// through a link) that no live run holds locked.
bool removeIfStale(int dir, const char* name) {
    struct stat before {};
    if (::fstatat(dir, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode))
        return false;
    UniqueFd fd(::openat(dir, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd)
        return false;
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || opened.st_dev != before.st_dev ||
        opened.st_ino != before.st_ino)
        return false;
    // A file system without flock cannot tell a live file; its files are stale
    // unless another run of the program writes there at this very moment.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return false;
    return ::unlinkat(dir, name, 0) == 0;
}

struct DirectoryCloser {
    void operator()(DIR* handle) const { ::closedir(handle); }
};

} // namespace

TempFileBeside::TempFileBeside(const std::string& targetPath, mode_t mode) {
    const auto [dir, name] = splitPath(targetPath);
    dir_ = std::make_shared<const UniqueFd>(openDirectory(dir));
    target_ = name;
    shown_ = targetPath;
    if (!*dir_)
        fail("Cannot open the directory of");
    create(mode, std::nullopt);
}

TempFileBeside::TempFileBeside(std::shared_ptr<const UniqueFd> dir, const std::string& targetName,
                               const std::string& shownPath, mode_t mode,
                               std::optional<mode_t> unnamedMode)
    : dir_(std::move(dir)), target_(targetName), shown_(shownPath) {
    if (!dir_ || !*dir_)
        fail("Cannot open the directory of");
    create(mode, unnamedMode);
}

std::unique_ptr<TempFileBeside> TempFileBeside::InDirectory(const std::string& dir, mode_t mode) {
    auto fd = std::make_shared<const UniqueFd>(openDirectory(dir.empty() ? "." : dir));
    if (!*fd)
        fail("Cannot open the temporary directory", dir);
    return std::make_unique<TempFileBeside>(std::move(fd), "", dir, mode);
}

TempFileBeside::~TempFileBeside() {
    if (published_)
        return;
    if (!stagedName_.empty())
        ::unlinkat(stageDir_, stagedName_.c_str(), 0);
    else if (Named())
        ::unlinkat(nameDir(), tempName_.c_str(), 0);
}

void TempFileBeside::create(mode_t mode, std::optional<mode_t> unnamedMode) {
    if (createUnnamed(unnamedMode.value_or(mode)))
        return;
    createNamed(mode);
    lock();
}

bool TempFileBeside::createUnnamed(mode_t mode) {
    if (!unnamedAllowed || !procFdUsable())
        return false;
    fd_ = UniqueFd(openAt(dir_->get(), ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (fd_)
        return true;
    // File systems without unnamed files (and kernels that predate them) say so
    // with one of these.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
        return false;
    fail("Cannot create a temporary file beside");
}

void TempFileBeside::createNamed(mode_t mode) {
    constexpr int flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = randomName();
        fd_ = UniqueFd(openAt(dir_->get(), name.c_str(), flags, mode));
        if (fd_) {
            tempName_ = name;
            return;
        }
        if (errno != EEXIST)
            fail("Cannot create a temporary file beside");
    }
    fail("Cannot find a free temporary name beside");
}

UniqueFd TempFileBeside::DupFd() const {
    UniqueFd copy = duplicate(fd_.get());
    if (!copy)
        fail("Cannot use the temporary file of");
    return copy;
}

void TempFileBeside::Publish() {
    PublishAs(target_);
}

void TempFileBeside::lock() const {
    // Held until the descriptor closes: a sweep of another run passes the file by.
    ::flock(fd_.get(), LOCK_EX | LOCK_NB);
}

bool TempFileBeside::linkUnnamed(int dirFd, std::string& name) const {
    lock(); // before the name exists, so that no sweep sees it unlocked
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        name = randomName();
        if (linkFile(fd_.get(), dirFd, name))
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void TempFileBeside::PublishAs(const std::string& fileName) {
    if ((stagedName_.empty() || target_ != fileName) && !StageInto(dir_->get(), fileName, shown_))
        fail("Cannot put in place"); // the same directory: cannot happen
    if (stagedName_ != target_ &&
        ::renameat(stageDir_, stagedName_.c_str(), stageDir_, target_.c_str()) != 0) {
        const int saved = errno;
        if (!Named()) { // the unnamed file's extra link goes; a named file stays as it is
            ::unlinkat(stageDir_, stagedName_.c_str(), 0);
            stagedName_.clear();
        }
        errno = saved;
        fail("Cannot put in place");
    }
    published_ = true;
}

bool TempFileBeside::StageWhereFree(int dirFd, const std::string& fileName,
                                    const std::string& shownPath) {
    if (Named() || fileName.empty() || !linkFile(fd_.get(), dirFd, fileName))
        return false;
    stagedName_ = fileName;
    stageDir_ = dirFd;
    target_ = fileName;
    shown_ = shownPath;
    return true;
}

bool TempFileBeside::StageInto(int dirFd, const std::string& fileName,
                               const std::string& shownPath) {
    if (fileName.empty())
        throw Exception("A scratch file in " + shown_ + " has no name to take");
    if (Named()) {
        // A named file moves to the directory under a fresh temporary name.
        if (dirFd != nameDir()) {
            const std::string name = randomName();
            if (::renameat(nameDir(), tempName_.c_str(), dirFd, name.c_str()) != 0) {
                if (errno == EXDEV)
                    return false;
                fail("Cannot put in place", shownPath);
            }
            tempName_ = name;
        }
        stagedName_ = tempName_;
    } else {
        // Where the name is free the link alone puts the file in place; a link cannot
        // replace a file, so elsewhere the file gets a temporary name first (a process
        // killed meanwhile leaves that, for the next sweep), which rename moves over
        // the target in one step.
        if (linkFile(fd_.get(), dirFd, fileName)) {
            stagedName_ = fileName;
        } else {
            if (errno == EXDEV)
                return false;
            if (errno != EEXIST || !linkUnnamed(dirFd, stagedName_)) {
                if (errno == EXDEV)
                    return false;
                stagedName_.clear();
                fail("Cannot put in place", shownPath);
            }
        }
    }
    stageDir_ = dirFd;
    target_ = fileName;
    shown_ = shownPath;
    return true;
}

void TempFileBeside::fail(const std::string& what) const {
    fail(what, shown_);
}

void TempFileBeside::fail(const std::string& what, const std::string& shown) {
    throw Exception(what + " " + shown + ": " + std::strerror(errno));
}

int TempFileBeside::SweepStale(int dirFd) {
    UniqueFd listed(::openat(dirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listed)
        return 0;
    const std::unique_ptr<DIR, DirectoryCloser> handle(::fdopendir(listed.get()));
    if (!handle)
        return 0;
    listed.release(); // closedir closes it
    int removed = 0;
    while (const dirent* entry = ::readdir(handle.get()))
        if (IsTempFileName(entry->d_name) && removeIfStale(dirFd, entry->d_name))
            ++removed;
    return removed;
}

int TempFileBeside::SweepStale(const std::string& dir) {
    const UniqueFd fd = openDirectory(dir.empty() ? "." : dir);
    return fd ? SweepStale(fd.get()) : 0;
}

bool TempFileBeside::IsTempFileName(std::string_view fileName) {
    return fileName.starts_with(kTempFilePrefix);
}

void TempFileBeside::SetUnnamedAllowed(bool allowed) {
    unnamedAllowed = allowed;
}

} // namespace kd
