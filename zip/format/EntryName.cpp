#include "zip/format/EntryName.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool dosHost(std::uint16_t versionMadeBy) {
    return HostOf(versionMadeBy) == kHostMsDos;
}

} // namespace

std::string DecodeEntryName(std::string_view stored, std::uint16_t flags,
                            std::uint16_t versionMadeBy) {
    if ((flags & kFlagUtf8Name) || isAscii(stored))
        return std::string(stored);
    if (dosHost(versionMadeBy))
        return toUtf8(stored, CodePage::Cp852);
    return isValidUtf8(stored) ? std::string(stored) : toUtf8(stored, CodePage::Cp1250);
}

StoredName EncodeEntryName(std::string_view name, std::uint16_t versionMadeBy) {
    if (isAscii(name))
        return {std::string(name), false};
    if (dosHost(versionMadeBy) && isValidUtf8(name))
        if (auto oem = fromUtf8(name, CodePage::Cp852))
            return {std::move(*oem), false};
    return {std::string(name), true};
}

std::size_t EntryFileNameStart(std::string_view name) {
    const auto separator = name.find_last_of("/\\");
    return separator == std::string_view::npos ? 0 : separator + 1;
}

std::string WithForwardSlashes(std::string_view name) {
    std::string result(name);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

} // namespace kd
