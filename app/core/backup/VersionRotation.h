#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace kd {

// The numbered versions of a profile's archive, base + k, k = 1, 2, ..., with the
// oldest at 1. A version is every file of its number: the archive base + k + ".zip",
// the self-extracting program ".exe", the numbered parts ".001", ".002", ... of a
// split archive and their directory file ".zfc". A number counts as taken when any of
// them is there, and moving or deleting a version takes all of them, so a version
// kept as a program or as parts is kept, moved and dropped like a ".zip".
//
// The new archive is first written one past the newest; only after it was written
// completely does finish() drop the oldest version and move the others down, so that
// a failed run loses no version. No step ever replaces a file: a version that cannot
// be deleted or moved stays where it is (a half-moved one is moved back), the
// numbers keep their order (gaps allowed), and the step is reported in problems().
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

    // base + number + ".zip"
    std::string archiveName(int number) const { return fileName(number, ".zip"); }
    // base + number + extension (with its dot: ".exe", ".003").
    std::string fileName(int number, std::string_view extension) const;
    // The extensions of the files version number has ("zip", "exe", "zfc", "001", ...).
    std::vector<std::string> filesOf(int number) const;
    // What could not be done, as sentences for the log.
    const std::vector<std::string>& problems() const { return problems_; }

private:
    // The numbers in use: those from 1 to kept, then every further one up to the first
    // that is missing (versions left from a time when more were kept).
    std::vector<int> presentVersions() const;
    bool exists(int number) const;
    bool present(int number, std::string_view extension) const;
    bool move(int from, int to);
    bool remove(int number);

    std::string base_;
    int kept_;
    int newNumber_ = 0;
    std::vector<std::string> problems_;
};

} // namespace kd
