#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/FileOps.h"

namespace kd {

// One directory level of a TDirSearch: the directory's entries, read when the level
// is opened (sorted by name), and a cursor over them.
class TSearchData {
public:
    // dir is "" (the current directory) or ends with "/"; listing is its listing.
    TSearchData(std::string dir, std::string mask, DirListing listing);

    const std::string& Dir() const { return dir_; }
    const std::string& Mask() const { return mask_; }
    // True when the directory held nothing (or could not be read).
    bool EmptyDirectory() const { return listing_.entries.empty(); }
    // errno when the directory could not be read; 0 otherwise.
    int Error() const { return listing_.error; }
    // The next entry, or nullptr when the level is exhausted.
    const DirEntry* Next();

private:
    std::string dir_;
    std::string mask_;
    DirListing listing_;
    std::size_t next_ = 0;
};

} // namespace kd
