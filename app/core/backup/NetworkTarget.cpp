#include "app/core/backup/NetworkTarget.h"

#include <sys/stat.h>

namespace kd {

bool directoryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool AutomountNetworkTarget::connect(const std::string& directory, const std::string&,
                                     const std::string&) {
    // stat() on an automount point mounts it.
    return directoryExists(directory);
}

} // namespace kd
