#include "zip/extract/ExtractTempFile.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "zip/extract/ExtractTarget.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

namespace {

// Owner only until the file gets its mode: the data is nobody else's before then.
constexpr mode_t kPrivateMode = 0600;

constexpr mode_t kModeBits = 07777;

TempFileBeside createIn(const std::shared_ptr<const UniqueFd>& dir, const std::string& name,
                        const std::string& shown, std::optional<mode_t> unnamedMode) {
    try {
        return TempFileBeside(dir, name, shown, kPrivateMode, unnamedMode);
    } catch (const Exception& e) {
        throw ECreateTargetFailed(e.what());
    }
}

[[noreturn]] void writeFailed(const char* what, const std::string& shownName) {
    throw ECantWriteUCF(std::string(kMsgCantWriteUCF) + " " + shownName + " (" + what + ": " +
                        std::strerror(errno) + ")");
}

} // namespace

bool CloseMayFail(int dirFd) {
    struct statfs fs {};
    if (::fstatfs(dirFd, &fs) != 0)
        return true;
    // Their files have nothing to write back at close, so it cannot fail.
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC: // also ext2 and ext3
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
        return false;
    default:
        return true;
    }
}

bool CloseCheck::MayFail(const std::shared_ptr<const UniqueFd>& dir) {
    if (dir != dir_) {
        dir_ = dir;
        mayFail_ = CloseMayFail(dir->get());
    }
    return mayFail_;
}

ExtractTempFile::ExtractTempFile(const ExtractTarget& target, bool closeMayFail,
                                 std::optional<mode_t> mode)
    : target_(&target), file_(createIn(target.Dir(), target.Name(), target.Path(), mode)),
      closeMayFail_(closeMayFail) {}

ExtractTempFile::ExtractTempFile(std::shared_ptr<const UniqueFd> dir, const std::string& shownDir,
                                 bool closeMayFail, std::optional<mode_t> mode)
    : file_(createIn(dir, "", shownDir, mode)), closeMayFail_(closeMayFail) {}

void ExtractTempFile::Restart() {
    if (::ftruncate(Fd(), 0) != 0 || ::lseek(Fd(), 0, SEEK_SET) != 0)
        writeFailed("truncate", target_ ? target_->Path() : "");
}

std::optional<FileStamp> ExtractTempFile::Seal(std::optional<std::time_t> modified,
                                               std::optional<mode_t> mode, bool flush,
                                               const std::string& shownName) const {
    if (modified) {
        const std::array<timespec, 2> times{timespec{*modified, 0}, timespec{*modified, 0}};
        if (::futimens(Fd(), times.data()) != 0)
            writeFailed("set time", shownName);
    }
    // A file made with its bits keeps them (the bits are no part of the stamp).
    struct stat st {};
    const bool known = ::fstat(Fd(), &st) == 0;
    if (mode && (!known || (st.st_mode & kModeBits) != *mode))
        SetMode(*mode, shownName);
    if (flush && ::fsync(Fd()) != 0)
        writeFailed("flush", shownName);
    // The file stays open for putting it in place; closing a second descriptor
    // reports what a network file system reports only at close.
    if (closeMayFail_) {
        UniqueFd probe(::fcntl(Fd(), F_DUPFD_CLOEXEC, 0));
        if (!probe || probe.close() != 0)
            writeFailed("close", shownName);
    }
    return known ? std::optional(FileStampOf(st)) : std::nullopt;
}

void ExtractTempFile::SetMode(mode_t mode, const std::string& shownName) const {
    if (::fchmod(Fd(), mode) != 0)
        writeFailed("set attributes", shownName);
}

bool ExtractTempFile::Stage(const ExtractTarget& target) {
    try {
        return file_.StageInto(target.DirFd(), target.Name(), target.Path());
    } catch (const Exception& e) {
        throw ECreateTargetFailed("Cannot replace " + target.Path() + ": " + e.what());
    }
}

bool ExtractTempFile::StageWhereFree(const ExtractTarget& target) {
    return file_.StageWhereFree(target.DirFd(), target.Name(), target.Path());
}

void ExtractTempFile::Publish(const ExtractTarget& target) {
    try {
        file_.Publish();
    } catch (const Exception& e) {
        throw ECreateTargetFailed("Cannot replace " + target.Path() + ": " + e.what());
    }
}

std::optional<FileStamp> ExtractTempFile::Commit(std::optional<std::time_t> modified,
                                                 std::optional<mode_t> mode, bool flush) {
    auto stamp = Seal(modified, mode, flush, target_->Path());
    Stage(*target_); // beside the target: always the same file system
    Publish(*target_);
    return stamp;
}

} // namespace kd
