#pragma once
#include <string>

#include "platform/UniqueFd.h"

struct stat;

namespace kd {

// Looks files up one after another, mostly several in one directory: the directory
// is opened once and each name looked up in it, rather than the whole path walked
// every time. Follows symbolic links, as stat(2) does. A directory moved away while
// its files are looked up is the one that was opened until a file of another
// directory is looked up.
class SiblingStat {
public:
    // stat(2) of path; false (errno set) when it fails.
    bool Stat(const std::string& path, struct stat& st);

private:
    std::string dir_;
    UniqueFd dirFd_;
};

} // namespace kd
