#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct stat;

namespace kd {

struct FileStamp;

// What a file looked like when it was last archived: its modification time to the
// nanosecond, its size and its inode (a copy or a replacement is a new file).
struct ArchiveStamp {
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;
    std::uint64_t inode = 0;
    bool operator==(const ArchiveStamp&) const = default;
};

// The archive attribute of files, which Linux does not have: resetting it records
// the file's stamp; the attribute counts as set while no stamp is recorded or the
// file's stamp differs from the recorded one (the file changed since).
class ArchiveAttribute {
public:
    virtual ~ArchiveAttribute() = default;

    // The stamp a file has now (following links); nullopt when it does not exist.
    static std::optional<ArchiveStamp> StampOf(const std::string& path);
    // The stamp of an open file.
    static std::optional<ArchiveStamp> StampOf(int fd);
    // The stamp of what stat or fstat gave.
    static ArchiveStamp StampOf(const struct stat& st);
    static ArchiveStamp StampOf(const FileStamp& file);

    // True when the file changed since the attribute was last reset, or never was.
    bool IsSet(const std::string& path);
    // The same for the file at path, open as fd (or -1: looked up by name), whose stamp
    // is now; safe to call on several threads at once.
    bool IsSet(const std::string& path, int fd, const ArchiveStamp& now);
    // Clears the attribute by recording stamp, the state in which the file was
    // archived (a file changed since then keeps its attribute set). Failures are
    // swallowed: the attribute then simply stays set.
    virtual void Reset(const std::string& path, const ArchiveStamp& stamp) = 0;
    // Writes out whatever the implementation keeps in memory.
    virtual void Flush() {}

protected:
    // The stamp recorded by the last reset; nullopt when there is none.
    virtual std::optional<ArchiveStamp> Recorded(const std::string& path) = 0;
    // The same, read through the open file where the record lives on the file.
    virtual std::optional<ArchiveStamp> Recorded(const std::string& path, int /*fd*/) {
        return Recorded(path);
    }
};

// Text form of a stamp ("modifiedNs size inode") and back.
std::string FormatArchiveStamp(const ArchiveStamp& stamp);
std::optional<ArchiveStamp> ParseArchiveStamp(const std::string& text);

} // namespace kd
