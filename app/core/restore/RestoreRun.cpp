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

// Runs its action when it goes, however the block is left.
template <class Action> class AtExit {
public:
    explicit AtExit(Action action) : action_(std::move(action)) {}
    ~AtExit() { action_(); }
    AtExit(const AtExit&) = delete;
    AtExit& operator=(const AtExit&) = delete;

private:
    Action action_;
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
    // An archive without its end record is rebuilt from its local headers. The
    // window's own handler says that a backup is unfinished; reading says what it found.
    engine_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    TZipReader::TIncompleteZip backupHandler =
        std::exchange(engine_.OnInCompleteZip, [this](TZipReader&, TIncompleteZipMode& mode) {
            const std::string line =
                restoreText(services_.settings.LanguageCode, RestoreText::Incomplete);
            services_.view.showStatusText(line);
            runState_.logs.toProfileLog(line);
            mode = TIncompleteZipMode::izAssumeBad;
        });
    const AtExit handlerBack(
        [this, &backupHandler] { engine_.OnInCompleteZip = std::move(backupHandler); });
    try {
        engine_.OpenAndReadDirectory();
    } catch (const std::exception& e) {
        if (const auto refusal = archiveRefusal(services_.settings.LanguageCode, path, e))
            throw Exception(*refusal);
        throw;
    }
    runState_.OwnArchives.emplace(profile.TargetDir, profile.Name);
    openedProfile_ = profile.Name;
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
    const int files = extractLogged(opened.profileName, [&] {
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
        // Every entry only for the restore: the contents page chooses again.
        const AtExit reset([this] { engine_.SetDoAll(false); });
        return engine_.ExtractArchive();
    });
    // A restore that restored no file failed, whatever the reason.
    if (files == 0)
        return RunResult::Failed;
    return outcome_.failed > 0 ? RunResult::Incomplete : RunResult::Complete;
}

int RestoreRun::ExtractFromContents(const ExtractOptions& options,
                                    const std::vector<int>& selectedRows) {
    applyExtractOptions(engine_, options);
    services_.ui.setBusyCursor(true);
    const AtExit cursor([this] { services_.ui.setBusyCursor(false); });
    return extractLogged(openedProfile_,
                         [&] { return extractChosenEntries(engine_, options, selectedRows); });
}

int RestoreRun::extractLogged(const std::string& profileName, const std::function<int()>& extract) {
    outcome_ = {};
    RunLogs& logs = runState_.logs;
    runState_.DetailedInfo = services_.settings.DetailedInfo;
    runState_.LeftAlone.clear();
    runState_.FilesExtracted = 0; // counted apart from the directory entries
    runState_.FilesKept = 0;
    runState_.LastPercent = 0; // each extraction shows its progress from the start
    try {
        if (!profileName.empty())
            logs.ProfileLogFile.open(services_.programDirectory + "/" + profileName + ".log", true);
    } catch (const Exception&) {
        // The extraction goes on without its log.
    }
    const AtExit closeLog([&logs] { logs.ProfileLogFile.close(); });
    logs.toProfileLog(run_log::ruleLine());
    logs.toProfileLog(restore_log::headerLine(services_.clock.nowLocal()));

    const std::string& language = services_.settings.LanguageCode;
    int entries = 0;
    try {
        entries = extract();
    } catch (const std::exception& e) {
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
    const std::vector<TExtractFailure> failures = notExtracted();
    for (const TExtractFailure& failure : failures)
        logs.toProfileLog(restore_log::notRestoredLine(language, failure));
    // Users are told of files: the directory entries are restored, not counted.
    const int files = static_cast<int>(runState_.FilesExtracted);
    logs.toProfileLog(restore_log::countsLine(language, files, failures.size()));
    logs.ProfileLogFile.flush(); // a log that cannot take its lines fails the run
    outcome_ = {entries, static_cast<int>(failures.size()), static_cast<int>(runState_.FilesKept),
                true};
    reportOutcome(files, failures);
    return files;
}

std::vector<TExtractFailure> RestoreRun::notExtracted() const {
    std::vector<TExtractFailure> entries = engine_.ExtractFailures();
    entries.insert(entries.end(), runState_.LeftAlone.begin(), runState_.LeftAlone.end());
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
