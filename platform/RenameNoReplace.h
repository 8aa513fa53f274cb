#pragma once
#include <string>

namespace kd {

// Renames from to to only when to does not exist: never replaces a file. Uses
// renameat2 with RENAME_NOREPLACE, and where the file system does not offer it a
// hard link followed by removing the old name. False (errno set) when to exists or
// the rename fails; from is then left where it was.
bool renameNoReplace(const std::string& from, const std::string& to);

} // namespace kd
