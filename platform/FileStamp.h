#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

struct stat;

namespace kd {

// What tells whether a file changed on disk: its modification time to the nanosecond
// and its size, and which file it is (a file replaced by a rename may carry the same
// time and size).
struct FileStamp {
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of what stat or fstat gave.
FileStamp FileStampOf(const struct stat& st);
// Its modification time as stat gives it.
timespec ModificationTime(const FileStamp& stamp);
// The stamp of an open file; nullopt when fstat fails.
std::optional<FileStamp> FileStampOf(int fd);
// The stamp of a named file; nullopt when it does not exist.
std::optional<FileStamp> FileStampOf(const std::string& path);

} // namespace kd
