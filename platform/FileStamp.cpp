#include "platform/FileStamp.h"

#include <sys/stat.h>

namespace kd {

FileStamp FileStampOf(const struct stat& st) {
    return {static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
            static_cast<std::int64_t>(st.st_size), static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino)};
}

timespec ModificationTime(const FileStamp& stamp) {
    constexpr std::int64_t kNsPerSecond = 1'000'000'000;
    timespec moment{};
    moment.tv_sec = static_cast<time_t>(stamp.modifiedNs / kNsPerSecond);
    moment.tv_nsec = static_cast<long>(stamp.modifiedNs % kNsPerSecond);
    if (moment.tv_nsec < 0) { // before 1970: the remainder is taken from the second below
        moment.tv_nsec += kNsPerSecond;
        --moment.tv_sec;
    }
    return moment;
}

std::optional<FileStamp> FileStampOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return std::nullopt;
    return FileStampOf(st);
}

std::optional<FileStamp> FileStampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileStampOf(st);
}

} // namespace kd
