#pragma once
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStamp.h"
#include "zip/base/ListingAhead.h"
#include "zip/base/TSearchData.h"

namespace kd {

// Why a name that a search found cannot be read.
enum class TSearchProblem {
    None,
    Unreadable, // a directory that cannot be listed, or a file that cannot be examined
    Special     // a FIFO, socket or device: never opened
};

// One result of a directory search.
struct TSearchRec {
    std::string Name;       // the full path; a directory's ends with "/"
    std::uint64_t Size = 0; // 0 for directories
    bool IsDirectory = false;
    std::time_t Modified = 0;
    TSearchProblem Problem = TSearchProblem::None;
    int Error = 0; // errno of an unreadable name
    // Of a file: what the search found of it (of a link: of its target), which file
    // it is, its exact time and its type and permission bits.
    FileStamp Stamp;
    std::uint32_t Mode = 0;
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
// symbolic links to directories are not followed; there is no depth limit. Entries
// come in name order within a directory.
//
// Nothing the search was meant to look at is passed over in silence: a directory it
// should search that cannot be listed (the start directory, a subdirectory when
// recursing, a directory matching a wildcard part), and a name matching the mask that
// cannot be examined, or that is a FIFO, socket or device, come as results with their
// Problem. A start directory that does not exist gives nothing.
class TDirSearch {
public:
    TDirSearch(std::string dir, bool recurse, std::string mask);

    // Fills rec with the next match; false when the search is over.
    bool NextFile(TSearchRec& rec);

private:
    // Opens a level on dir; 0, or errno when it cannot be read (it is then not kept).
    int openLevel(std::string dir);
    // Enters directory dir (ending in "/"); false when it vanished meanwhile. A
    // directory that cannot be listed is described in rec.
    bool enter(const std::string& dir, std::time_t modified, TSearchRec& rec);
    bool matchesMask(const std::string& name) const;

    std::unique_ptr<ListingAhead> ahead_; // recursing: subdirectories listed ahead
    std::vector<TSearchData> levels_;
    std::vector<std::string> wildParts_; // directory masks of the levels below the fixed part
    std::string mask_;
    bool recurse_;
    std::optional<TSearchRec> pending_; // the start directory, when it cannot be listed
};

} // namespace kd
