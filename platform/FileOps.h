#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileStamp.h"

namespace kd {

// What a directory listing found under one name.
enum class DirEntryKind {
    File,      // a regular file, or a symbolic link to one (the target's size and time)
    Directory, // never a symbolic link
    Special,   // a FIFO, socket or device (opening one could block), or a link to one
    Unreadable // could not be examined (error says why; ENOENT: a link to nothing)
};

// One entry of a directory listing.
struct DirEntry {
    std::string name;
    DirEntryKind kind = DirEntryKind::File;
    // Also for an unreadable entry that the directory lists as a subdirectory.
    bool isDirectory = false;
    std::uint64_t size = 0;
    std::time_t modified = 0;
    int error = 0; // errno, for an unreadable entry
    // What was examined (of a link: its target): which file it is, its exact time, and
    // its type and permission bits, so that the file need not be examined again.
    FileStamp stamp;
    std::uint32_t mode = 0;
};

struct DirListing {
    std::vector<DirEntry> entries;
    // errno when the directory could not be read (its entries may then be incomplete).
    int error = 0;
};

// The entries of dir, sorted by name (byte order). Leaves out "." and ".." and
// symbolic links to directories (a search never follows them).
DirListing listDirectory(const std::string& dir);

// Creates a new empty file dir/prefixXXXXXX with a unique suffix (mkstemp) and returns
// its path; throws kd::Exception when it cannot.
std::string createTemporaryFile(const std::string& dir, const std::string& prefix);

// True when something exists at path (following links); false also when that
// cannot be checked.
bool pathExists(const std::string& path);

// The last-modification time of a file or directory (following links).
std::optional<std::time_t> fileModificationTime(const std::string& path);

// True when both paths (or, for a path that does not exist, its directory) lie on
// the same file system, so that rename() can move between them.
bool sameFileSystem(const std::string& a, const std::string& b);

// rename(2): replaces an existing target in one step; false when it fails (for
// example across file systems).
bool renameFile(const std::string& from, const std::string& to);

// Copies the content and permission bits of from into a temporary file beside to,
// flushes it and renames it over to, so that to is either the old file or the whole
// copy. Throws kd::Exception with the reason on failure.
void copyFile(const std::string& from, const std::string& to);

} // namespace kd
