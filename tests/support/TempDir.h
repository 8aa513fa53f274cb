#pragma once
#include <string>

namespace kd::test {

// A fresh directory under the temporary directory, removed with everything in it
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file (creating parent directories) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// Runs a shell command; returns its exit status. Output goes to *output when given.
int runCommand(const std::string& command, std::string* output = nullptr);

} // namespace kd::test
