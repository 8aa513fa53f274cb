#pragma once
#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "zip/extract/ExtractPath.h"
#include "zip/reader/ExtractFailure.h"

namespace kd {

class DirectoryChain;

// The directories of a run's directory entries, which get their stored mode and time
// only once the run's files are written: a directory without write permission could
// not take its files, and each file written into a directory changes its time.
class ExtractDirectories {
public:
    // Remembers a directory entry (index and stored name for a failure) and what it
    // gets; nothing is remembered when it gets nothing.
    void Add(int index, std::string storedName, ExtractPath path, std::optional<mode_t> mode,
             std::optional<std::time_t> modified);

    // Walks to each directory from baseDir (named baseName in messages) through chain,
    // without following links, and sets its mode, then its time, deepest directories
    // first, so that a directory closed to its owner is closed after its subdirectories
    // are done. Returns the directories that could not be finished; forgets them all.
    std::vector<TExtractFailure> Finish(DirectoryChain& chain, int baseDir,
                                        const std::string& baseName);

private:
    struct Pending {
        int index;
        std::string storedName;
        ExtractPath path;
        std::optional<mode_t> mode;
        std::optional<std::time_t> modified;
    };
    std::vector<Pending> pending_;
};

} // namespace kd
