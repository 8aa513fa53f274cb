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

TempFileBeside createBeside(const ExtractTarget& target) {
    try {
        // Owner only until Commit gives the file its mode: the data is nobody else's
        // before then.
        return TempFileBeside(target.DirFd(), target.Name(), target.Path(), 0600);
    } catch (const Exception& e) {
        throw ECreateTargetFailed(e.what());
    }
}

} // namespace

ExtractTempFile::ExtractTempFile(const ExtractTarget& target)
    : target_(target), file_(createBeside(target)) {}

void ExtractTempFile::writeFailed(const char* what) const {
    throw ECantWriteUCF(std::string(kMsgCantWriteUCF) + " " + target_.Path() + " (" + what + ": " +
                        std::strerror(errno) + ")");
}

void ExtractTempFile::Restart() {
    if (::ftruncate(Fd(), 0) != 0 || ::lseek(Fd(), 0, SEEK_SET) != 0)
        writeFailed("truncate");
}

void ExtractTempFile::Commit(std::optional<std::time_t> modified, std::optional<mode_t> mode,
                             bool flush) {
    if (modified) {
        const std::array<timespec, 2> times{timespec{*modified, 0}, timespec{*modified, 0}};
        if (::futimens(Fd(), times.data()) != 0)
            writeFailed("set time");
    }
    if (mode && ::fchmod(Fd(), *mode) != 0)
        writeFailed("set attributes");
    if (flush && ::fsync(Fd()) != 0)
        writeFailed("flush");
    // The file stays open for putting it in place; closing a second descriptor
    // reports what a network file system reports only at close.
    UniqueFd probe(::fcntl(Fd(), F_DUPFD_CLOEXEC, 0));
    if (!probe || probe.close() != 0)
        writeFailed("close");
    try {
        file_.Publish();
    } catch (const Exception& e) {
        throw ECreateTargetFailed("Cannot replace " + target_.Path() + ": " + e.what());
    }
}

} // namespace kd
