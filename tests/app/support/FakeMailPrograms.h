#pragma once
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kd::test {

// Puts a directory of fake mail programs first on $PATH for a test's life. Each fake
// writes its arguments, one a line, to <name>.args and its standard input to
// <name>.input in that directory, and ends with the status given.
class FakeMailPrograms {
public:
    FakeMailPrograms() : oldPath_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        std::filesystem::create_directories(bin());
        ::setenv("PATH", (bin() + ":" + oldPath_).c_str(), 1);
    }
    ~FakeMailPrograms() { ::setenv("PATH", oldPath_.c_str(), 1); }
    FakeMailPrograms(const FakeMailPrograms&) = delete;
    FakeMailPrograms& operator=(const FakeMailPrograms&) = delete;

    // body: shell lines run after the recording, before the exit.
    void add(const std::string& name, int status = 0, const std::string& body = "",
             bool readInput = true) {
        const std::string script =
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + bin() + "/" + name +
            ".args'\n" + (readInput ? "/bin/cat > '" + bin() + "/" + name + ".input'\n" : "") +
            body + "\nexit " + std::to_string(status) + "\n";
        const std::string path = dir_.write("bin/" + name, script);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    // Only the fakes: no system program is found (the fakes' own commands go by full
    // path).
    void alone() { ::setenv("PATH", bin().c_str(), 1); }

    std::string bin() const { return dir_.file("bin"); }
    std::string recorded(const std::string& name, const std::string& what) const {
        return bin() + "/" + name + "." + what;
    }

private:
    TempDir dir_;
    std::string oldPath_;
};

} // namespace kd::test
