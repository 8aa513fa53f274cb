#include "zip/extract/ExtractDirectories.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "zip/extract/ExtractTarget.h"

namespace kd {

void ExtractDirectories::Add(int index, std::string storedName, ExtractPath path,
                             std::optional<mode_t> mode, std::optional<std::time_t> modified) {
    if (mode || modified)
        pending_.push_back({index, std::move(storedName), std::move(path), mode, modified});
}

std::vector<TExtractFailure> ExtractDirectories::Finish(DirectoryChain& chain, int baseDir,
                                                        const std::string& baseName) {
    std::vector<Pending> pending = std::move(pending_);
    pending_.clear();
    std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        return a.path.Dirs.size() > b.path.Dirs.size();
    });
    std::vector<TExtractFailure> failures;
    for (const Pending& dir : pending) {
        const std::string shown = dir.path.JoinedTo(baseName);
        const auto fail = [&](const std::string& what) {
            failures.push_back({dir.index, dir.storedName, what});
        };
        try {
            const ExtractTarget target = ExtractTarget::Below(chain, baseDir, baseName, dir.path);
            if (dir.mode && ::fchmod(target.DirFd(), *dir.mode) != 0) {
                fail("Cannot set the permissions of directory " + shown + ": " +
                     std::strerror(errno));
                continue;
            }
            if (dir.modified) {
                const std::array<timespec, 2> times{timespec{*dir.modified, 0},
                                                    timespec{*dir.modified, 0}};
                if (::futimens(target.DirFd(), times.data()) != 0)
                    fail("Cannot set the time of directory " + shown + ": " + std::strerror(errno));
            }
        } catch (const Exception& e) {
            fail(e.what());
        }
    }
    return failures;
}

} // namespace kd
