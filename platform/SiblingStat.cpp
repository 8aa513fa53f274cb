#include "platform/SiblingStat.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace kd {

bool SiblingStat::Stat(const std::string& path, struct stat& st) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return ::stat(path.c_str(), &st) == 0;
    const std::string_view dir(path.data(), slash == 0 ? 1 : slash);
    if (!dirFd_ || dir != dir_) {
        dir_ = dir;
        dirFd_ = UniqueFd(::open(dir_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
    if (!dirFd_)
        return ::stat(path.c_str(), &st) == 0;
    return ::fstatat(dirFd_.get(), path.c_str() + slash + 1, &st, 0) == 0;
}

} // namespace kd
