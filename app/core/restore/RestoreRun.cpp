#include "app/core/restore/RestoreRun.h"

#include "app/core/logs/RunLogs.h"
#include "app/core/profiles/ProfilePassword.h"
#include "app/core/profiles/ProfileTexts.h"
#include "app/core/restore/RestoreLog.h"
#include "app/core/restore/RestoreTexts.h"
#include "app/core/runs/CancelTexts.h"
#include "app/core/runs/ZipEventHandlers.h"
#include "lang/EngineMessages.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "zip/format/ZipExceptions.h"
#include "zip/reader/TZipReader.h"

#include <utility>

namespace kd {
namespace {

constexpr int kNoBackupMessage = 11001; // "Záloha neexistuje"

TMultiMode multiModeOf(std::uint8_t splitMode) {
    switch (splitMode) {
    case 1:
        return TMultiMode::mmBlocks;
    case 2:
        return TMultiMode::mmSpan;
    default:
        return TMultiMode::mmNone;
    }
}

// Leaves the busy state and the hourglass however the run ends.
class BusyScope {
public:
    BusyScope(MainWindowView& view, UiHost& ui) : view_(view), ui_(ui) {
        view_.ShowBusy();
        ui_.setBusyCursor(true);
    }
    ~BusyScope() {
        ui_.setBusyCursor(false);
        view_.ShowReady();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    MainWindowView& view_;
    UiHost& ui_;
};

// Closes the profile's log however the run ends.
class ProfileLogScope {
public:
    explicit ProfileLogScope(RunLogFile& log) : log_(log) {}
    ~ProfileLogScope() { log_.close(); }
    ProfileLogScope(const ProfileLogScope&) = delete;
    ProfileLogScope& operator=(const ProfileLogScope&) = delete;

private:
    RunLogFile& log_;
};

} // namespace

RestoreRun::RestoreRun(RestoreRunServices services, TZipReader& engine, RunState& runState)
    : services_(std::move(services)), engine_(engine), runState_(runState) {}

std::optional<RestoreRun::OpenedArchive> RestoreRun::findProfileArchive(int row) {
    const TObjektZal& profile = services_.profiles.record(row);
    engine_.SetDestDir(withoutTrailingSlash(profile.SourceDir));
    const std::optional<NewestArchive> newest = findNewestArchive(profile);
    if (!newest) {
        services_.ui.messageBox(ResourceStrings.GetText(kNoBackupMessage),
                                ResourceStrings.GetText(profile_msg::WarningCaption),
                                MsgButtons::Ok, MsgIcon::Warning);
        services_.view.ShowReady();
        return std::nullopt;
    }
    return OpenedArchive{profile.Name, *newest};
}

void RestoreRun::readArchive(const TObjektZal& profile, const std::string& path) {
    // The same name again would keep a directory read before the last run.
    engine_.ClearDirectory();
    engine_.SetMultiMode(multiModeOf(profile.SplitMode));
    engine_.SetZipName(path);
    // An archive without its end record is rebuilt from its local headers.
    engine_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    try {
        engine_.OpenAndReadDirectory();
    } catch (const std::exception& e) {
        if (const auto refusal = archiveRefusal(services_.settings.LanguageCode, path, e))
            throw Exception(*refusal);
        throw;
    }
    runState_.OwnArchives.emplace(profile.TargetDir, profile.Name);
}

template <class Work> void RestoreRun::cancelInOwnWords(Work&& work) {
    try {
        work();
    } catch (const EUserCanceled&) {
        throw SilentAbort(cancelledText(services_.settings.LanguageCode, CancelledRun::Restore));
    }
}

std::optional<RestoreRun::OpenedArchive> RestoreRun::OpenProfileArchive(int row) {
    std::optional<OpenedArchive> opened = findProfileArchive(row);
    if (opened)
        cancelInOwnWords(
            [&] { readArchive(services_.profiles.record(row), opened->archive.path); });
    return opened;
}

RunResult RestoreRun::RestoreBackup(int row) {
    outcome_ = {};
    BusyScope busy(services_.view, services_.ui);
    const std::optional<OpenedArchive> opened = findProfileArchive(row);
    if (!opened)
        return RunResult::Failed;
    const TObjektZal& profile = services_.profiles.record(row);
    // Without one the files would land in the program's own directory.
    if (withoutTrailingSlash(profile.SourceDir).empty())
        throw Exception(restoreText(services_.settings.LanguageCode, RestoreText::NoSourceDir));
    return restoreProfile(profile, *opened);
}

RunResult RestoreRun::restoreProfile(const TObjektZal& profile, const OpenedArchive& opened) {
    RunLogs& logs = runState_.logs;
    runState_.DetailedInfo = services_.settings.DetailedInfo;
    runState_.OwnArchivesLeftAlone.clear();
    try {
        logs.ProfileLogFile.open(services_.programDirectory + "/" + opened.profileName + ".log",
                                 true);
    } catch (const Exception&) {
        // The restore goes on without its log.
    }
    ProfileLogScope closeLog(logs.ProfileLogFile);
    logs.toProfileLog(run_log::ruleLine());
    logs.toProfileLog(restore_log::headerLine(services_.clock.nowLocal()));

    const std::string& language = services_.settings.LanguageCode;
    int extracted = 0;
    try {
        // Read here, so that an archive that cannot be read is named in the log too.
        readArchive(profile, opened.archive.path);
        engine_.SetOverwriteMode(TUZOverwriteMode::Always);
        engine_.SetRecreateDirs(true);
        // An archive with whole paths stores them without the leading "/".
        const std::size_t rootStart = profile.SourceDir.find_first_not_of('/');
        engine_.SetRootDir(rootStart == std::string::npos ? ""
                                                          : profile.SourceDir.substr(rootStart));
        engine_.SetPassword(decodeStoredPassword(profile.Password));
        engine_.FilesList().clear();
        engine_.SetDoAll(true);
        runState_.FilesExtracted = 0; // counted apart from the directory entries
        runState_.FilesKept = 0;
        extracted = engine_.ExtractArchive();
    } catch (const std::exception& e) {
        engine_.SetDoAll(false);
        const bool cancelled = isCancel(e);
        const std::string line =
            cancelled ? cancelledText(language, CancelledRun::Restore)
                      : restoreText(language, RestoreText::RunFailed) + EngineMessageText(e.what());
        try {
            logs.toProfileLog(line);
        } catch (const Exception&) {
            // The run's own error is the one to report.
        }
        if (cancelled)
            throw SilentAbort(line);
        throw;
    }
    engine_.SetDoAll(false);
    const std::vector<TExtractFailure> failures = notExtracted();
    for (const TExtractFailure& failure : failures)
        logs.toProfileLog(restore_log::notRestoredLine(language, failure));
    // Users are told of files: the directory entries are restored, not counted.
    const int files = static_cast<int>(runState_.FilesExtracted);
    logs.toProfileLog(restore_log::countsLine(language, files, failures.size()));
    logs.ProfileLogFile.flush(); // a log that cannot take its lines fails the run
    outcome_ = {extracted, static_cast<int>(failures.size()), static_cast<int>(runState_.FilesKept),
                true};
    reportOutcome(files, failures);
    if (!failures.empty())
        return RunResult::Incomplete;
    return files > 0 ? RunResult::Complete : RunResult::Failed;
}

int RestoreRun::ExtractFromContents(const ExtractOptions& options,
                                    const std::vector<int>& selectedRows) {
    outcome_ = {};
    applyExtractOptions(engine_, options);
    runState_.OwnArchivesLeftAlone.clear();
    services_.ui.setBusyCursor(true);
    runState_.FilesExtracted = 0;
    runState_.FilesKept = 0;
    int entries = 0;
    try {
        cancelInOwnWords([&] { entries = extractChosenEntries(engine_, options, selectedRows); });
    } catch (...) {
        services_.ui.setBusyCursor(false);
        throw;
    }
    services_.ui.setBusyCursor(false);
    const int extracted = static_cast<int>(runState_.FilesExtracted);
    const std::vector<TExtractFailure> failures = notExtracted();
    outcome_ = {entries, static_cast<int>(failures.size()), static_cast<int>(runState_.FilesKept),
                true};
    reportOutcome(extracted, failures);
    return extracted;
}

std::vector<TExtractFailure> RestoreRun::notExtracted() const {
    std::vector<TExtractFailure> entries = engine_.ExtractFailures();
    entries.insert(entries.end(), runState_.OwnArchivesLeftAlone.begin(),
                   runState_.OwnArchivesLeftAlone.end());
    return entries;
}

void RestoreRun::reportOutcome(int extracted, const std::vector<TExtractFailure>& failures) {
    if (services_.settings.NoQuestions)
        return; // the counts are in the log
    const int kept = static_cast<int>(runState_.FilesKept);
    const std::string text =
        extractionReport(services_.settings.LanguageCode, extracted, kept, failures);
    // A run that left something out, or found nothing to extract, warns; others inform.
    if (failures.empty() && (extracted > 0 || kept > 0))
        services_.ui.messageBox(text, "", MsgButtons::Ok, MsgIcon::Information);
    else
        services_.ui.messageBox(text, ResourceStrings.GetText(profile_msg::WarningCaption),
                                MsgButtons::Ok, MsgIcon::Warning);
}

} // namespace kd
