#include "app/core/RestoreLog.h"

#include "app/core/RestoreTexts.h"
#include "lang/TResourceStrings.h"
#include "platform/DateText.h"
#include "platform/FileOps.h"

namespace kd {
namespace {

namespace msg {
constexpr int At = 11026;          // " v", between the date and the time
constexpr int Extracted = 11038;   // after an extracted file's name
constexpr int Overwritten = 11040; // after the name of a file about to be overwritten
constexpr int RestoreHeader = 11041;
} // namespace msg

} // namespace

RestoreLog::RestoreLog(const std::string& path, bool detailedInfo, TZipReader& reader)
    : file_(path, LogFile::Mode::Append), detailedInfo_(detailedInfo), reader_(reader),
      previousStart_(reader.OnStartUnZip), previousEnd_(reader.OnEndUnZip) {
    reader_.OnStartUnZip = [this](TZipReader&, int, std::string& fName, bool&) {
        if (!detailedInfo_)
            return;
        if (const auto modified = fileModificationTime(fName))
            file_.writeLine(overwrittenLine(fName, toDateTime(*modified)));
    };
    reader_.OnEndUnZip = [this](TZipReader&, int, const std::string& fName) {
        if (detailedInfo_)
            file_.writeLine(extractedLine(fName));
    };
}

RestoreLog::~RestoreLog() {
    reader_.OnStartUnZip = previousStart_;
    reader_.OnEndUnZip = previousEnd_;
}

void RestoreLog::writeHeader(TDateTime now) {
    file_.writeLine(std::string(36, '-'));
    file_.writeLine(ResourceStrings.GetText(msg::RestoreHeader) + formatShortDate(now) +
                    ResourceStrings.GetText(msg::At) + " " + formatTime(now));
}

void RestoreLog::writeOutcome(const std::string& languageCode, int extracted,
                              const std::vector<TExtractFailure>& failures) {
    for (const TExtractFailure& failure : failures)
        file_.writeLine(notRestoredLine(languageCode, failure));
    std::string counts = restoreText(languageCode, RestoreText::RestoredCount) +
                         std::to_string(extracted);
    if (!failures.empty())
        counts += ", " + restoreText(languageCode, RestoreText::FailedCount) +
                  std::to_string(failures.size());
    file_.writeLine(counts);
}

std::string RestoreLog::overwrittenLine(const std::string& target, TDateTime fileTime) {
    return padRight(target, 40) + "        " + ResourceStrings.GetText(msg::Overwritten) + " " +
           padLeft(formatShortDate(fileTime), 10) + "  " + padLeft(formatTime(fileTime), 10);
}

std::string RestoreLog::extractedLine(const std::string& target) {
    return padRight(target, 40) + "       " + ResourceStrings.GetText(msg::Extracted);
}

std::string RestoreLog::notRestoredLine(const std::string& languageCode,
                                        const TExtractFailure& failure) {
    return padRight(failure.Name, 40) + "       " +
           restoreText(languageCode, RestoreText::NotRestored) + failure.Message;
}

} // namespace kd
