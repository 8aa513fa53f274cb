#pragma once
#include <string>

namespace kd::test {

// A copy of the built program in a directory, under a file name no other copy has. A
// running copy holds its user's lock named after its file name, so copies of tests
// that run at once (or a Kordyne the user runs) would otherwise stop one another. The
// copy's lock file goes with the object.
class ProgramCopy {
public:
    // The file name is name, or "kordyne-<process>-<count>" when empty. A copy of that
    // name already there is used as it is.
    explicit ProgramCopy(const std::string& directory, const std::string& name = {});
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;

    const std::string& path() const { return path_; }
    // The lock file the copy holds while it runs.
    std::string lockPath() const;

    // A file name no other copy has, for copies that must share one.
    static std::string uniqueName();

private:
    std::string path_;
};

} // namespace kd::test
