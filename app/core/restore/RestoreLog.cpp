#include "app/core/restore/RestoreLog.h"

#include "app/core/logs/RunLogs.h"
#include "app/core/logs/RunMessages.h"
#include "app/core/restore/RestoreTexts.h"
#include "lang/TResourceStrings.h"
#include "platform/DateText.h"

namespace kd::restore_log {
namespace {

constexpr int kRestoreHeader = 11041; // "Obnova souborů :"

} // namespace

std::string headerLine(TDateTime when) {
    return ResourceStrings.GetText(kRestoreHeader) + formatShortDate(when) +
           ResourceStrings.GetText(run_msg::HeaderAt) + " " + formatTime(when);
}

std::string notRestoredLine(const std::string& languageCode, const TExtractFailure& failure) {
    return run_log::padRight(failure.Name, 40) + std::string(7, ' ') +
           restoreText(languageCode, RestoreText::NotRestored) + failureText(languageCode, failure);
}

std::string countsLine(const std::string& languageCode, int extracted, std::size_t failed) {
    std::string line =
        restoreText(languageCode, RestoreText::RestoredCount) + std::to_string(extracted);
    if (failed > 0)
        line += ", " + restoreText(languageCode, RestoreText::FailedCount) + std::to_string(failed);
    return line;
}

} // namespace kd::restore_log
