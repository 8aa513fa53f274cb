#include "app/core/runs/RestoredFiles.h"

namespace kd {

void RestoredFiles::clear() {
    paths_.clear();
    files_.clear();
}

void RestoredFiles::add(const std::string& path, const std::optional<FileStamp>& stamp) {
    paths_.insert(path);
    if (stamp)
        files_.emplace(stamp->device, stamp->inode);
}

bool RestoredFiles::contains(const std::string& path, const std::optional<FileStamp>& stamp) const {
    return paths_.contains(path) || (stamp && files_.contains({stamp->device, stamp->inode}));
}

} // namespace kd
