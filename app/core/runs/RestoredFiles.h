#pragma once
#include "platform/FileStamp.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>

namespace kd {

// The files one extraction has written, by name and by identity: on a file system
// that ignores letter case, "A.txt" reaches the file written as "a.txt".
class RestoredFiles {
public:
    void clear();
    // stamp: the written file's, nullopt when it could not be looked at.
    void add(const std::string& path, const std::optional<FileStamp>& stamp);
    // stamp: what is at path now, nullopt when nothing is.
    bool contains(const std::string& path, const std::optional<FileStamp>& stamp) const;

private:
    std::unordered_set<std::string> paths_;
    std::set<std::pair<std::uint64_t, std::uint64_t>> files_; // device, inode
};

} // namespace kd
