#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "zip/base/TSearchData.h"

namespace kd {

// One result of a directory search.
struct TSearchRec {
    std::string Name;       // the full path; a directory's ends with "/"
    std::uint64_t Size = 0; // 0 for directories
    bool IsDirectory = false;
    std::time_t Modified = 0;
};

// Depth-first search for files matching a mask (WildcardMatch), optionally through
// subdirectories, one result per NextFile call.
//
// The start directory may hold wildcard characters in its parts, as in
// "/data/*/logs/": the fixed part ends at the last "/" before the first wildcard,
// the rest is cut at each "/" into parts that the directory names of each level
// must match; the files are then searched in every matching directory.
//
// With recursion every subdirectory is returned (with a trailing "/") before the
// files in it. A file name without a "." is matched with a "." appended, so "*.*"
// takes every file. Only "." and ".." are skipped (hidden directories are searched);
// symbolic links to directories are not followed; FIFOs, sockets and devices are
// left out; there is no depth limit. Entries come in name order within a directory.
class TDirSearch {
public:
    TDirSearch(std::string dir, bool recurse, std::string mask);

    // Fills rec with the next match; false when the search is over.
    bool NextFile(TSearchRec& rec);

private:
    void openLevel(std::string dir);

    std::vector<TSearchData> levels_;
    std::vector<std::string> wildParts_; // directory masks of the levels below the fixed part
    std::string mask_;
    bool recurse_;
};

} // namespace kd
