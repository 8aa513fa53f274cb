#include "zip/extract/ExtractTempFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <random>

#include "zip/extract/ExtractTarget.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

namespace {

std::string randomSuffix() {
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kChars) - 2);
    std::string suffix(8, ' ');
    for (char& c : suffix)
        c = kChars[pick(random)];
    return suffix;
}

} // namespace

ExtractTempFile::ExtractTempFile(const ExtractTarget& target) : target_(target) {
    constexpr int flags = O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name_ = ".ZTF" + randomSuffix();
        const int fd = ::openat(target_.DirFd(), name_.c_str(), flags, 0666);
        if (fd >= 0) {
            fd_ = UniqueFd(fd);
            return;
        }
        if (errno != EEXIST)
            throw ECreateTargetFailed("Cannot create " + target_.Path() + ": " +
                                      std::strerror(errno));
    }
    throw ECreateTargetFailed("Cannot create a temporary file beside " + target_.Path());
}

ExtractTempFile::~ExtractTempFile() {
    if (!committed_) {
        fd_.close();
        ::unlinkat(target_.DirFd(), name_.c_str(), 0);
    }
}

void ExtractTempFile::writeFailed(const char* what) const {
    throw ECantWriteUCF(std::string(kMsgCantWriteUCF) + " " + target_.Path() + " (" + what + ": " +
                        std::strerror(errno) + ")");
}

void ExtractTempFile::Restart() {
    if (::ftruncate(fd_.get(), 0) != 0 || ::lseek(fd_.get(), 0, SEEK_SET) != 0)
        writeFailed("truncate");
}

void ExtractTempFile::Commit(std::optional<std::time_t> modified, std::optional<mode_t> mode,
                             bool flush) {
    if (modified) {
        const std::array<timespec, 2> times{timespec{*modified, 0}, timespec{*modified, 0}};
        if (::futimens(fd_.get(), times.data()) != 0)
            writeFailed("set time");
    }
    if (mode && ::fchmod(fd_.get(), *mode) != 0)
        writeFailed("set attributes");
    if (flush && ::fsync(fd_.get()) != 0)
        writeFailed("flush");
    if (fd_.close() != 0)
        writeFailed("close");
    if (::renameat(target_.DirFd(), name_.c_str(), target_.DirFd(), target_.Name().c_str()) != 0)
        throw ECreateTargetFailed("Cannot replace " + target_.Path() + ": " + std::strerror(errno));
    committed_ = true;
}

} // namespace kd
