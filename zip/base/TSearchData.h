#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/FileOps.h"

namespace kd {

// One directory level of a TDirSearch: the directory's files and subdirectories,
// read when the level is opened (sorted by name), and a cursor over them.
class TSearchData {
public:
    // dir is "" (the current directory) or ends with "/".
    TSearchData(std::string dir, std::string mask);

    const std::string& Dir() const { return dir_; }
    const std::string& Mask() const { return mask_; }
    // True when the directory held nothing (or could not be read).
    bool EmptyDirectory() const { return entries_.empty(); }
    // The next entry, or nullptr when the level is exhausted.
    const DirEntry* Next();

private:
    std::string dir_;
    std::string mask_;
    std::vector<DirEntry> entries_;
    std::size_t next_ = 0;
};

} // namespace kd
