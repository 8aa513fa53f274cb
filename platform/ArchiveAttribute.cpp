#include "platform/ArchiveAttribute.h"

#include <sstream>
#include <sys/stat.h>

namespace kd {

namespace {

ArchiveStamp stampOf(const struct stat& st) {
    return {static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            static_cast<std::int64_t>(st.st_size), static_cast<std::uint64_t>(st.st_ino)};
}

} // namespace

std::optional<ArchiveStamp> ArchiveAttribute::StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

std::optional<ArchiveStamp> ArchiveAttribute::StampOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

bool ArchiveAttribute::IsSet(const std::string& path) {
    const auto recorded = Recorded(path);
    return !recorded || recorded != StampOf(path);
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
