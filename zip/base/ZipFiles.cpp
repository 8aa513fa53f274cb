#include "zip/base/ZipFiles.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "platform/FileOps.h"
#include "zip/base/DosDateTime.h"

namespace kd {

int Percent(std::int64_t done, std::int64_t total) {
    if (total <= 0)
        return 0;
    if (done >= total)
        return 100;
    if (done <= 0)
        return 0;
    const long double exact =
        static_cast<long double>(done) * 100.0L / static_cast<long double>(total);
    return static_cast<int>(std::min<long double>(100.0L, exact + 0.5L));
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of(kWildcardChars) != std::string_view::npos;
}

std::uint32_t FileDosDateTime(const std::string& name) {
    const auto modified = fileModificationTime(name);
    return DosDateTimeClamp(modified ? UnixTimeToDosDateTime(*modified) : 0xFFFFFFFFu);
}

TDateTime FileDate(const std::string& name) {
    if (const auto date = DosDateTimeToDateTime(FileDosDateTime(name)))
        return *date;
    return toDateTime(std::chrono::system_clock::now());
}

bool MoveFile(const std::string& source, const std::string& target) {
    return sameFileSystem(source, target) && renameFile(source, target);
}

void MoveOrCopyFile(const std::string& source, const std::string& target) {
    if (!MoveFile(source, target))
        copyFile(source, target);
}

std::string TemporaryFileName(const std::string& dir) {
    return createTemporaryFile(dir, "ZTF");
}

std::string TemporaryDirectory(const std::string& tempPath) {
    std::error_code ec;
    if (!tempPath.empty() && std::filesystem::is_directory(tempPath, ec))
        return tempPath;
    const auto system = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : system.string();
}

} // namespace kd
