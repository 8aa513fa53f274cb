#include "app/core/backup/BackupRun.h"

#include "app/core/backup/PreviousArchive.h"
#include "app/core/backup/RemovableWipe.h"
#include "app/core/backup/VersionRotation.h"
#include "app/core/logs/LastRunStamp.h"
#include "app/core/logs/RunMessages.h"
#include "app/core/profiles/ProfilePassword.h"
#include "app/core/runs/CancelTexts.h"
#include "app/core/runs/LeftOutTexts.h"
#include "app/core/runs/ProfileArchives.h"
#include "lang/EngineMessages.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"
#include "platform/FileOps.h"
#include "platform/Paths.h"
#include "zip/writer/TZipWriter.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace kd {
namespace {

std::string text(int id) {
    return ResourceStrings.GetText(id);
}

bool fileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The profile's archives, never stored, and no archive written without a file in it,
// for one zip call of the window's writer, which also serves the restore and the
// contents page afterwards.
class OwnArchivesOnWriter {
public:
    OwnArchivesOnWriter(TZipWriter& writer, std::vector<std::string> archives) : writer_(writer) {
        writer_.SetSkipEmptyArchive(true);
        writer_.SetOwnArchives(std::move(archives));
    }
    ~OwnArchivesOnWriter() {
        writer_.SetOwnArchives({});
        writer_.SetSkipEmptyArchive(false);
    }
    OwnArchivesOnWriter(const OwnArchivesOnWriter&) = delete;
    OwnArchivesOnWriter& operator=(const OwnArchivesOnWriter&) = delete;

private:
    TZipWriter& writer_;
};

// ".zip", ".003": the extension of a file name, with its dot.
std::string extensionOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    return path.substr(dot);
}

// Whether the mask (">/data/*", "/home/*.txt") names a directory of its own rather
// than one below the source.
bool hasPathOfItsOwn(std::string_view mask) {
    if (!mask.empty() && (mask.front() == '|' || mask.front() == '>'))
        mask.remove_prefix(1);
    return mask.starts_with('/');
}

// Whether the mask ("*.*", ">/data/*", "*.doc") takes every file of the directories
// it searches.
bool takesEveryFile(const std::string& mask) {
    std::string_view name = mask;
    if (!name.empty() && (name.front() == '|' || name.front() == '>'))
        name.remove_prefix(1);
    if (const std::size_t slash = name.rfind('/'); slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    return name == "*" || name == "*.*";
}

// A run that chooses files (by date, by archive attribute or by mask) stores a
// directory's entry only with files inside it; a run that takes everything stores
// every directory it enters, empty ones too.
bool directoriesOnlyWithFiles(const TObjektZal& profile) {
    const std::vector<std::string> masks = nonEmptyPieces(profile.Masks);
    return profile.BackupKind != 0 || profile.ArchiveBitOnly ||
           !std::all_of(masks.begin(), masks.end(), takesEveryFile);
}

// Why a run whose source is gone stored nothing.
std::vector<std::string> sourceGoneLines(const std::string& sourceDir) {
    return {run_log::directoryLine(sourceDir, run_msg::NotCreated),
            left_out::emptyRunLine(LanguageCode)};
}

std::string timestampedName(const std::string& profileName, TDateTime started) {
    const DateParts p = decodeDateTime(started);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "_%d_%d_%d_%d_%d_%d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return profileName + buffer;
}

} // namespace

std::vector<std::string> nonEmptyPieces(const std::string& list) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        if (end > start)
            pieces.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

BackupRun::BackupRun(BackupRunServices services, const ProgramSettings& settings,
                     std::string programDirectory, TZipWriter& writer, BackupRunHooks hooks)
    : services_(services), settings_(settings), programDirectory_(std::move(programDirectory)),
      writer_(writer), hooks_(std::move(hooks)), handlers_(state_, services_.view, services_.ui) {
    handlers_.bind(writer_);
}

bool BackupRun::ask(const std::string& question) {
    return services_.ui.messageBox(question, text(run_msg::QuestionCaption), MsgButtons::YesNo,
                                   MsgIcon::Question) == MsgAnswer::Yes;
}

void BackupRun::error(const std::string& message) {
    services_.ui.messageBox(message, text(run_msg::ErrorCaption), MsgButtons::Ok, MsgIcon::Error);
}

void BackupRun::detail(const std::string& line) {
    if (settings_.DetailedInfo)
        state_.logs.toProtocol(line);
}

void BackupRun::fail(const std::string& reason) {
    outcome_.failure = reason;
    state_.logs.toProtocol(reason);
}

void BackupRun::warn(const std::string& reason) {
    outcome_.warnings.push_back(reason);
    state_.logs.toBoth(reason);
}

void BackupRun::protocolProblems(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems)
        state_.logs.toProtocol(problem);
}

RunResult BackupRun::RunBackup(TObjektZal& profile, int row) {
    state_ = RunState{};
    state_.DetailedInfo = settings_.DetailedInfo;
    state_.RunStarted = services_.clock.nowLocal();
    outcome_ = Outcome{};
    try {
        openProtocol();
        state_.logs.toProtocol(run_log::headerLine(profile.Name, state_.RunStarted));
        services_.view.ShowBusy();
        runSteps(profile);
        // A log that cannot take its last lines fails the run as a line would.
        state_.logs.flushAll();
    } catch (const EUserCanceled&) {
        const std::string cancelled = cancelledText(LanguageCode, CancelledRun::Backup);
        fail(cancelled);
        closingSteps(profile, row, true);
        throw SilentAbort(cancelled);
    } catch (const std::exception& e) {
        if (outcome_.failure.empty())
            outcome_.failure = EngineMessageText(e.what());
        try {
            state_.logs.toProtocol(EngineMessageText(e.what()));
        } catch (const std::exception&) {
            // The log itself failed; the error goes on to the caller all the same.
        }
        closingSteps(profile, row, true);
        throw;
    }
    closingSteps(profile, row, false);
    return outcome_.result();
}

void BackupRun::openProtocol() {
    const bool inLogDirectory = !settings_.LogDirectory.empty();
    const std::string path = inLogDirectory
                                 ? withTrailingSlash(settings_.LogDirectory) + kProtocolFileName
                                 : withTrailingSlash(programDirectory_) + kProtocolFileName;
    try {
        // Without a log directory the log holds only the latest run.
        state_.logs.ProtocolFile.open(path, inLogDirectory);
    } catch (const Exception&) {
        if (!settings_.NoQuestions) {
            std::string message = text(run_msg::NoLogDirectory);
            if (const std::size_t at = message.find("%s"); at != std::string::npos)
                message.replace(at, 2, settings_.LogDirectory);
            services_.ui.messageBox(message, text(run_msg::WarningCaption), MsgButtons::Ok,
                                    MsgIcon::Warning);
        }
    }
}

void BackupRun::runSteps(TObjektZal& profile) {
    writer_.SourceOpenMode = 64;
    writer_.SetStoreVolumes(settings_.FullPath);
    writer_.SetRelativePaths(!settings_.FullPath);
    try {
        const LastRunStamp stamp = ReadLastRun(programDirectory_, profile.Name);
        state_.LastRun = stamp.Date + stamp.Time;
    } catch (const Exception&) {
        state_.LastRun = 0; // unreadable: every file counts as changed
    }

    const std::string target = withTrailingSlash(profile.TargetDir);
    const std::string targetDir = withoutTrailingSlash(profile.TargetDir);
    const std::string sourceDir = withoutTrailingSlash(profile.SourceDir);
    // Without a mask there is nothing to look for: no directory is checked, no disk
    // wiped, no version moved.
    const std::vector<std::string> masks = nonEmptyPieces(profile.Masks);
    if (masks.empty())
        return keepArchives(profile, {left_out::noMasksLine(LanguageCode)});
    if (!checkNetworkTarget(profile, targetDir) || !checkSource(sourceDir) ||
        !checkTarget(targetDir))
        return;
    // Going on without the source: only masks with a path of their own can find files.
    const bool sourceMissing = !directoryExists(sourceDir);
    if (sourceMissing && std::none_of(masks.begin(), masks.end(), hasPathOfItsOwn))
        return keepArchives(profile, sourceGoneLines(sourceDir));
    services_.ui.setBusyCursor(true);
    if (profile.WipeDisk && !wipeTarget(targetDir, sourceDir))
        return;

    const int versions = profile.VersionsKept;
    std::optional<VersionRotation> rotation;
    std::string baseName = profile.Name;
    if (versions > 0) {
        rotation.emplace(target + profile.Name, versions);
        baseName += std::to_string(rotation->prepare());
        protocolProblems(rotation->problems());
    } else if (profile.BackupKind == 2) {
        baseName = timestampedName(profile.Name, state_.RunStarted);
    }
    outcome_.archive = target + baseName + ".zip";
    std::optional<PreviousArchive> previous;
    if (versions == 0 && profile.NewArchive)
        previous.emplace(outcome_.archive);
    std::optional<ProgramArchiveReopened> reopened;
    if (versions == 0 && !profile.NewArchive && profile.SelfExtract && profile.SplitMode == 0)
        reopened.emplace(outcome_.archive);

    configureWriter(profile, targetDir);
    // A run that adds to an existing archive adds to its log too.
    openProfileLog(profile, versions == 0 && fileExists(outcome_.archive));

    // An archive updated in place keeps its files, also when the source is gone; the
    // run then stored nothing all the same.
    const bool stored = zipMasks(profile, masks);
    if (!stored || (sourceMissing && outcome_.fileCount == 0))
        // The versions, the previous archive and the stamp stay as they were.
        return keepArchives(profile, sourceMissing
                                         ? sourceGoneLines(sourceDir)
                                         : std::vector{left_out::emptyRunLine(LanguageCode)});

    // A set of several parts goes by its last part, which holds the directory.
    outcome_.archive = writer_.ZipName();
    // A spanned set's versions are seen only on the disk in the drive (now its last);
    // its new set's files there are never touched, as they go by the disk's number.
    if (rotation) {
        const std::size_t before = rotation->problems().size();
        const int number = rotation->finish();
        outcome_.archive = rotation->fileName(number, extensionOf(outcome_.archive));
        protocolProblems({rotation->problems().begin() + static_cast<std::ptrdiff_t>(before),
                          rotation->problems().end()});
    }
    if (previous)
        previous->discard();
    if (reopened)
        reopened->keep();
    // A millisecond early, so that rounding the stamp to whole seconds never moves it
    // past the start (a file changed right after it would be missed next time).
    WriteLastRun(programDirectory_, profile.Name, state_.RunStarted - 0.001 / 86400);
    // The program first: the mail client may read the file long after the run, and
    // the ".zip" is gone once the program is built.
    if (profile.SelfExtract && hooks_.WriteSelfExtractor)
        buildSelfExtractor(profile);
    if (!profile.MailTo.empty() && hooks_.MailArchive)
        mailArchive(profile);
    outcome_.succeeded = true;
}

bool BackupRun::zipMasks(TObjektZal& profile, const std::vector<std::string>& masks) {
    // Found now, after the versions were numbered and a previous archive set aside.
    const OwnArchivesOnWriter own(writer_,
                                  ProfileArchives(profile.TargetDir, profile.Name).present());
    writer_.SetFilesList(masks);
    state_.CurrentProfile = &profile;
    writer_.AddFilesToArchive();
    state_.CurrentProfile = nullptr;
    outcome_.fileCount = state_.FilesStored; // files: directory entries are not counted
    return !writer_.EmptyArchiveSkipped();
}

void BackupRun::keepArchives(const TObjektZal& profile, std::vector<std::string> why) {
    if (!state_.logs.ProfileLogOpen())
        openProfileLog(profile, true); // nothing changes that its lines describe
    for (const std::string& line : why)
        state_.logs.toBoth(line);
    outcome_.keptPrevious = true;
    outcome_.keptBecause = std::move(why);
    outcome_.succeeded = true;
}

void BackupRun::mailArchive(const TObjektZal& profile) {
    // Whatever becomes of the mail, the backup itself stands.
    std::string line;
    try {
        line = hooks_.MailArchive(outcome_.archive, profile.MailTo);
    } catch (const std::exception& e) {
        line = e.what();
    }
    if (!line.empty())
        state_.logs.toBoth(line);
}

void BackupRun::buildSelfExtractor(const TObjektZal& profile) {
    SelfExtractorResult result;
    try {
        result = hooks_.WriteSelfExtractor(profile, outcome_.archive);
    } catch (const std::exception& e) {
        result = {outcome_.archive, e.what()}; // the archive itself is complete
    }
    outcome_.archive = result.archive;
    if (!result.problem.empty())
        warn(result.problem);
}

bool BackupRun::checkNetworkTarget(const TObjektZal& profile, const std::string& targetDir) {
    if (profile.NetUser.empty() || directoryExists(targetDir))
        return true;
    if (services_.network.connect(targetDir, profile.NetUser, profile.NetPassword) &&
        directoryExists(targetDir))
        return true;
    fail(run_log::directoryLine(targetDir, run_msg::NotCreated));
    return false;
}

bool BackupRun::checkSource(const std::string& sourceDir) {
    if (directoryExists(sourceDir))
        return true;
    // Yes goes on: masks with paths of their own still find their files, and a run
    // that finds nothing keeps the profile's archives and versions as they are.
    if (!settings_.NoQuestions &&
        ask(text(run_msg::Directory) + sourceDir + text(run_msg::SourceMissingAsk)))
        return true;
    fail(run_log::directoryLine(sourceDir, run_msg::NotCreated));
    return false;
}

bool BackupRun::checkTarget(const std::string& targetDir) {
    if (directoryExists(targetDir))
        return true;
    if (!settings_.NoQuestions &&
        !ask(text(run_msg::Directory) + targetDir + text(run_msg::TargetMissingAsk))) {
        fail(run_log::directoryLine(targetDir, run_msg::NotCreated));
        return false;
    }
    detail(run_log::directoryLine(targetDir, run_msg::WillCreate));
    if (!targetDir.empty() && ::mkdir(targetDir.c_str(), 0777) == 0)
        return true;
    fail(run_log::directoryLine(targetDir, run_msg::CannotCreate));
    return false;
}

bool BackupRun::wipeTarget(const std::string& targetDir, const std::string& sourceDir) {
    std::string root;
    switch (WipeRemovableDisk(services_.volumes, targetDir, {programDirectory_, sourceDir}, root)) {
    case WipeResult::NotRemovable:
        if (!settings_.NoQuestions)
            error(text(run_msg::NotRemovable));
        state_.logs.toProtocol(text(run_msg::NotRemovable));
        return true; // nothing deleted; the backup goes on
    case WipeResult::Refused: {
        const std::string message = wipeRefusedText(LanguageCode) + root;
        if (!settings_.NoQuestions)
            error(message);
        state_.logs.toProtocol(message);
        return true;
    }
    case WipeResult::Wiped:
        break;
    }
    while (!directoryExists(root)) {
        if (settings_.NoQuestions || !ask(text(run_msg::DiskNotReady))) {
            fail(text(run_msg::DiskNotReady) + " " + root);
            return false;
        }
    }
    return true;
}

void BackupRun::configureWriter(const TObjektZal& profile, const std::string& targetDir) {
    writer_.SetRootDir(profile.SourceDir);
    writer_.SetDestDir(targetDir);
    writer_.SetZipName(outcome_.archive);
    writer_.SetRecurse(profile.Recurse);
    // Directory entries keep the directories' modes and times for the restore.
    writer_.SetAddDirEntriesOnRecurse(true);
    writer_.SetDirEntriesOnlyWithFiles(directoriesOnlyWithFiles(profile));
    TMultiZipInfo& parts = writer_.MultiZipInfo();
    parts.SetFirstBlockSize(profile.FirstPartSize);
    parts.SetSaveOnFirstDisk(profile.FirstPartSize);
    parts.SetBlockSize(profile.NextPartSize);
    // A new archive each run: an old set of numbered parts is replaced, not updated.
    writer_.SetWriteSetAfresh(profile.NewArchive);
    writer_.SetMultiMode(profile.SplitMode == 1   ? TMultiMode::mmBlocks
                         : profile.SplitMode == 2 ? TMultiMode::mmSpan
                                                  : TMultiMode::mmNone);
    writer_.SetSkipIfArchiveBitNotSet(profile.ArchiveBitOnly);
    writer_.SetResetArchiveBitOnZip(profile.ResetArchiveBit);
    writer_.SetExcludeList(nonEmptyPieces(profile.ExcludedMasks));
    writer_.SetPassword(decodeStoredPassword(profile.Password));
}

void BackupRun::openProfileLog(const TObjektZal& profile, bool append) {
    try {
        state_.logs.ProfileLogFile.open(
            withTrailingSlash(programDirectory_) + profile.Name + ".log", append);
    } catch (const Exception&) {
        return; // the run goes on without it
    }
    state_.logs.toProfileLog(run_log::ruleLine());
    state_.logs.toProfileLog(run_log::headerLine(profile.Name, state_.RunStarted));
}

void BackupRun::closingSteps(const TObjektZal& profile, int row, bool raised) {
    state_.CurrentProfile = nullptr;
    if (hooks_.LoadProfileItem) {
        try {
            hooks_.LoadProfileItem(profile, row);
        } catch (const std::exception&) {
            // The row keeps its old texts; the run's result stands.
        }
    }
    services_.ui.setBusyCursor(false);
    services_.view.ShowReady();
    outcome_.leftOut = state_.LeftOut;
    try {
        if (!outcome_.succeeded) {
            state_.logs.toProfileLog(outcome_.failure);
            state_.logs.toBoth(run_log::incompleteLine());
        } else if (outcome_.leftOut > 0) {
            state_.logs.toBoth(left_out::countLine(LanguageCode, outcome_.leftOut));
        }
    } catch (const std::exception&) {
        // Closing goes on; the run has already failed.
    }
    state_.logs.closeAll();
    closingBox(raised);
    if (state_.LeftOut > 0 && settings_.DetailedInfo)
        services_.view.showProtocolPage();
}

void BackupRun::closingBox(bool raised) {
    // An error or a cancel that broke the run off reaches the caller, who reports it.
    if (raised || settings_.NoQuestions)
        return;
    if (!outcome_.succeeded) {
        // An early end says why, also without detailed information, and never that
        // the backup is done.
        services_.ui.messageBox(outcome_.failure + "\n\n" + run_log::incompleteLine(),
                                text(run_msg::ErrorCaption), MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    // What is missing shows also without detailed information.
    std::vector<std::string> missing = outcome_.keptBecause;
    if (outcome_.leftOut > 0)
        missing.push_back(left_out::countLine(LanguageCode, outcome_.leftOut));
    missing.insert(missing.end(), outcome_.warnings.begin(), outcome_.warnings.end());
    if (missing.empty() && !settings_.DetailedInfo)
        return;
    // A run that kept the archives as they were made no backup to call done.
    std::vector<std::string> lines;
    if (!outcome_.keptPrevious)
        lines.push_back(text(run_msg::DoneBefore) + std::to_string(outcome_.fileCount) +
                        text(run_msg::DoneAfter));
    lines.insert(lines.end(), missing.begin(), missing.end());
    std::string message = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i)
        message += "\n\n" + lines[i];
    if (missing.empty())
        services_.ui.messageBox(message, "", MsgButtons::Ok, MsgIcon::Information);
    else
        services_.ui.messageBox(message, text(run_msg::WarningCaption), MsgButtons::Ok,
                                MsgIcon::Warning);
}

} // namespace kd
