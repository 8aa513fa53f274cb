#include "zip/extract/EntryAttributes.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "zip/base/DosDateTime.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

constexpr std::uint32_t kDosReadOnly = 0x01;
constexpr mode_t kPermissionBits = 0777;

// The process's umask, read where the kernel shows it; umask(2) only as a fallback,
// since setting it to read it is not safe while another thread creates files.
mode_t processUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8)) &
                   kPermissionBits;
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

std::uint32_t dosValueOf(std::time_t t) {
    return DosDateTimeClamp(UnixTimeToDosDateTime(t));
}

} // namespace

std::optional<std::time_t> EntryModifiedTime(const TZipHeaderInfo& entry) {
    if (entry.UnixModified())
        return static_cast<std::time_t>(*entry.UnixModified());
    const auto date = DosDateTimeToDateTime(DosDateTimeClamp(entry.DosDateTime));
    if (!date)
        return std::nullopt;
    return toTimeT(*date);
}

int CompareEntryTime(const TZipHeaderInfo& entry, std::time_t modified) {
    if (entry.UnixModified()) {
        const std::int64_t stored = *entry.UnixModified();
        return stored < modified ? -1 : stored > modified ? 1 : 0;
    }
    const std::uint32_t stored = DosDateTimeClamp(entry.DosDateTime);
    const std::uint32_t file = dosValueOf(modified);
    return stored < file ? -1 : stored > file ? 1 : 0;
}

std::optional<mode_t> StoredPermissions(const TZipHeaderInfo& entry) {
    const auto mode = static_cast<mode_t>(entry.ExternalAttributes >> 16);
    if (HostOf(entry.VersionMadeBy) != kHostUnix || mode == 0)
        return std::nullopt;
    const mode_t type = mode & S_IFMT;
    const mode_t expected = entry.FileName().empty() ? S_IFDIR : S_IFREG;
    if (type != 0 && type != expected)
        return std::nullopt; // a link or a device: its bits mean nothing for what we write
    return mode & kPermissionBits;
}

mode_t NewFileMode() {
    return 0666 & ~processUmask();
}

mode_t ExtractedFileMode(const TZipHeaderInfo& entry, std::optional<mode_t> replaced,
                         bool retainAttributes, mode_t newFileMode) {
    if (retainAttributes)
        if (const auto stored = StoredPermissions(entry))
            return *stored;
    mode_t mode = replaced ? (*replaced & kPermissionBits) : newFileMode;
    if (retainAttributes && (entry.ExternalAttributes & kDosReadOnly))
        mode &= ~static_cast<mode_t>(0222);
    return mode;
}

} // namespace kd
