#pragma once
#include <string>
#include <vector>

namespace kd {

// The numbered versions of a profile's archive: base + k + ".zip", k = 1, 2, ...,
// with the oldest at 1. The new archive is first written one past the newest; only
// after it was written completely does finish() drop the oldest version and move the
// others down, so that a failed run loses no version. No step ever replaces a file:
// a version that cannot be deleted or moved stays where it is, the numbers keep
// their order (gaps allowed), and the step is reported in problems().
class VersionRotation {
public:
    // base: target directory + profile name; kept: the number of versions to keep (> 0).
    VersionRotation(std::string base, int kept);

    // Before the run: closes gaps among the existing versions by moving them down
    // and gives the number the new archive is written under.
    int prepare();
    // After a successful run: when more than kept versions exist, deletes version 1
    // and moves the others down one. Gives the new archive's final number.
    int finish();

    std::string archiveName(int number) const;
    // What could not be done, as sentences for the log.
    const std::vector<std::string>& problems() const { return problems_; }

private:
    // The numbers in use: those from 1 to kept, then every further one up to the first
    // that is missing (versions left from a time when more were kept).
    std::vector<int> presentVersions() const;
    bool exists(int number) const;
    bool move(int from, int to);

    std::string base_;
    int kept_;
    int newNumber_ = 0;
    std::vector<std::string> problems_;
};

} // namespace kd
