#include "platform/AtomicFile.h"

#include "platform/Exception.h"
#include "platform/TempFileBeside.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {
namespace {

std::string errorText(const std::string& what, const std::string& path) {
    return what + " \"" + path + "\": " + std::strerror(errno);
}

void writeAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Exception(errorText("Cannot write", path));
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

} // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    // Unnamed until complete where the file system allows, so a killed program
    // leaves no half-written copy beside the file.
    TempFileBeside temp(path, 0600);
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::fchmod(temp.Fd(), mode);
    writeAll(temp.Fd(), bytes, path);
    if (::fsync(temp.Fd()) != 0)
        throw Exception(errorText("Cannot flush", path));
    temp.Publish();
}

std::string readWholeFile(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        throw Exception(errorText("Cannot open", path));
    std::string data;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Exception(errorText("Cannot read", path));
        if (n == 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

} // namespace kd
