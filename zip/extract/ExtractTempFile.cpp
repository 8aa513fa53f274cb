#include "zip/extract/ExtractTempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

TempFileBeside createIn(int dirFd, const std::string& name, const std::string& shown) {
    try {
        return TempFileBeside(dirFd, name, shown, kPrivateMode);
    } catch (const Exception& e) {
        throw ECreateTargetFailed(e.what());
    }
}

[[noreturn]] void writeFailed(const char* what, const std::string& shownName) {
    throw ECantWriteUCF(std::string(kMsgCantWriteUCF) + " " + shownName + " (" + what + ": " +
                        std::strerror(errno) + ")");
}

} // namespace

ExtractTempFile::ExtractTempFile(const ExtractTarget& target)
    : target_(&target), file_(createIn(target.DirFd(), target.Name(), target.Path())) {}

ExtractTempFile::ExtractTempFile(int dirFd, const std::string& shownDir)
    : file_(createIn(dirFd, "", shownDir)) {}

void ExtractTempFile::Restart() {
    if (::ftruncate(Fd(), 0) != 0 || ::lseek(Fd(), 0, SEEK_SET) != 0)
        writeFailed("truncate", target_ ? target_->Path() : "");
}

void ExtractTempFile::Seal(std::optional<std::time_t> modified, std::optional<mode_t> mode,
                           bool flush, const std::string& shownName) const {
    if (modified) {
        const std::array<timespec, 2> times{timespec{*modified, 0}, timespec{*modified, 0}};
        if (::futimens(Fd(), times.data()) != 0)
            writeFailed("set time", shownName);
    }
    if (mode)
        SetMode(*mode, shownName);
    if (flush && ::fsync(Fd()) != 0)
        writeFailed("flush", shownName);
    // The file stays open for putting it in place; closing a second descriptor
    // reports what a network file system reports only at close.
    UniqueFd probe(::fcntl(Fd(), F_DUPFD_CLOEXEC, 0));
    if (!probe || probe.close() != 0)
        writeFailed("close", shownName);
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

void ExtractTempFile::Commit(std::optional<std::time_t> modified, std::optional<mode_t> mode,
                             bool flush) {
    Seal(modified, mode, flush, target_->Path());
    Stage(*target_); // beside the target: always the same file system
    Publish(*target_);
}

} // namespace kd
