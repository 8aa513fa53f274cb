#include "app/core/profiles/ProfileListTexts.h"

#include "lang/TResourceStrings.h"
#include "platform/DateText.h"

#include <algorithm>

namespace kd {
namespace {

unsigned char foldedByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

} // namespace

std::array<std::string, 8> profileListTexts(const TObjektZal& record, TDateTime lastRunDate,
                                            TDateTime lastRunTime) {
    const std::string lastRun =
        lastRunDate > 0 ? formatShortDate(lastRunDate) + " " + formatTime(lastRunTime) : " ";
    return {record.Name,
            record.Description,
            record.TargetDir,
            record.SourceDir,
            record.Masks,
            std::to_string(record.VersionsKept),
            PeriodKindText(record, LanguageCode),
            lastRun};
}

int compareProfileListTexts(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int diff = foldedByte(a[i]) - foldedByte(b[i]);
        if (diff != 0)
            return diff;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace kd
