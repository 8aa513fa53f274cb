#include "platform/ArchiveAttribute.h"

#include "platform/FileStamp.h"

#include <sstream>

namespace kd {

namespace {

std::optional<ArchiveStamp> archiveStampOf(const std::optional<FileStamp>& file) {
    if (!file)
        return std::nullopt;
    return ArchiveAttribute::StampOf(*file);
}

} // namespace

std::optional<ArchiveStamp> ArchiveAttribute::StampOf(const std::string& path) {
    return archiveStampOf(FileStampOf(path));
}

std::optional<ArchiveStamp> ArchiveAttribute::StampOf(int fd) {
    return archiveStampOf(FileStampOf(fd));
}

ArchiveStamp ArchiveAttribute::StampOf(const struct stat& st) {
    return StampOf(FileStampOf(st));
}

ArchiveStamp ArchiveAttribute::StampOf(const FileStamp& file) {
    return {file.modifiedNs, file.size, file.inode};
}

bool ArchiveAttribute::IsSet(const std::string& path) {
    const auto recorded = Recorded(path);
    return !recorded || recorded != StampOf(path);
}

bool ArchiveAttribute::IsSet(const std::string& path, int fd, const ArchiveStamp& now) {
    const auto recorded = Recorded(path, fd);
    return !recorded || *recorded != now;
}

std::string FormatArchiveStamp(const ArchiveStamp& stamp) {
    return std::to_string(stamp.modifiedNs) + ' ' + std::to_string(stamp.size) + ' ' +
           std::to_string(stamp.inode);
}

std::optional<ArchiveStamp> ParseArchiveStamp(const std::string& text) {
    std::istringstream in(text);
    ArchiveStamp stamp;
    std::string rest;
    if (!(in >> stamp.modifiedNs >> stamp.size >> stamp.inode) || (in >> rest))
        return std::nullopt;
    return stamp;
}

} // namespace kd
