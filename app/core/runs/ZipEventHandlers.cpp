#include "app/core/runs/ZipEventHandlers.h"

#include "app/core/logs/RunMessages.h"
#include "app/core/runs/LeftOutTexts.h"
#include "lang/TResourceStrings.h"
#include "platform/FileStamp.h"
#include "zip/writer/TZipWriter.h"

#include <cstdio>
#include <sys/stat.h>

namespace kd {

bool skipByProfile(const TObjektZal& profile, const std::string& fName,
                   std::optional<TDateTime> modified, TDateTime now, TDateTime lastRun) {
    if (fName.ends_with('/'))
        return inExcludedDirectory(profile, fName);
    if (profile.BackupKind == 1 && (!modified || now - profile.AgeDays >= *modified))
        return true;
    if (profile.BackupKind == 2 && (!modified || lastRun >= *modified))
        return true;
    return inExcludedDirectory(profile, fName);
}

bool inExcludedDirectory(const TObjektZal& profile, const std::string& fName) {
    std::size_t start = 0;
    const std::string& dirs = profile.ExcludedDirs;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(';', start), dirs.size());
        std::string piece = dirs.substr(start, end - start);
        start = end + 1;
        if (piece.empty())
            continue;
        if (piece.back() != '/')
            piece += '/';
        if (fName.starts_with(piece))
            return true;
    }
    return false;
}

namespace {

TDateTime dateTimeOf(const timespec& moment, LocalTimeCache* localTimes = nullptr) {
    const TDateTime seconds =
        localTimes ? toDateTime(moment.tv_sec, *localTimes) : toDateTime(moment.tv_sec);
    return seconds + static_cast<double>(moment.tv_nsec) / 86400e9;
}

TDateTime dateTimeOf(const FileStamp& stamp) {
    return dateTimeOf(ModificationTime(stamp));
}

} // namespace

std::optional<TDateTime> fileModified(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return dateTimeOf(info.st_mtim);
}

std::optional<TDateTime> fileModified(const TZipWriter& writer, const std::string& path,
                                      LocalTimeCache* localTimes) {
    if (const auto& seen = writer.SourceModified())
        return dateTimeOf(*seen, localTimes);
    return fileModified(path);
}

std::string nextDiskName(const std::string& fName, int nextDisk) {
    const std::size_t slash = fName.rfind('/');
    const std::size_t dot = fName.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    char extension[16];
    std::snprintf(extension, sizeof extension, ".%03d", nextDisk);
    return (hasExtension ? fName.substr(0, dot) : fName) + extension;
}

ZipEventHandlers::ZipEventHandlers(RunState& state, MainWindowView& view, UiHost& ui)
    : state_(state), view_(view), ui_(ui) {}

void ZipEventHandlers::bind(TZipWriter& writer) {
    writer.OnStartZip = [this](TZipWriter& sender, const std::string& fName, TZipHeaderInfo&,
                               bool& skip) {
        // A directory's date decides nothing: it is not looked up.
        ZipEngineStartZip(
            fName, fName.ends_with('/') ? std::nullopt : fileModified(sender, fName, &localTimes_),
            skip);
    };
    // The selection goes by names and dates: the header's archive bit is not read.
    writer.SetStartZipSeesArchiveBit(false);
    writer.OnEndZip = [this](TZipWriter& sender, const std::string& fName,
                             std::uint32_t uncompressed, std::uint32_t compressed, std::int64_t) {
        ZipEngineEndZip(fName, uncompressed, compressed,
                        state_.DetailedInfo ? fileModified(sender, fName, &localTimes_)
                                            : std::nullopt);
    };
    writer.OnSkippingFile = [this, &writer](TZipReader&, TSkipReason reason,
                                            const std::string& fName, int, bool& retry) {
        ZipEngineSkippingFile(reason, fName, writer.SkipDetail(), retry);
    };
    writer.OnGetNextDisk = [this](TZipReader& sender, int nextDisk, std::string& fName) {
        ZipEngineGetNextDisk(sender, nextDisk, fName);
    };
    writer.OnTotalPercentDone = [this](TZipReader& sender, int percent) {
        ZipEngineTotalPercentDone(percent, sender.ZipName());
    };
    writer.OnZipComplete = [this](TZipWriter&, int) { ZipEngineZipComplete(); };
    bindExtraction(writer);
}

void ZipEventHandlers::bindExtraction(TZipReader& reader) {
    // Each extraction looks at its targets afresh: a directory opened for the last
    // one may have been moved away since.
    reader.OnStartUnZipInfo = [this](TZipReader&, int, std::int64_t, bool&) {
        targets_ = SiblingStat();
        written_.clear();
    };
    reader.OnInCompleteZip = [this](TZipReader&, TIncompleteZipMode& mode) {
        ZipEngineInCompleteZip(mode);
    };
    reader.OnStartUnZip = [this](TZipReader&, int fileIndex, std::string& fName, bool& skip) {
        ZipEngineStartUnZip(fileIndex, fName, skip);
    };
    reader.OnEndUnZip = [this](TZipReader& sender, int, const std::string& fName) {
        ZipEngineEndUnZip(fName, sender.ExtractedStamp());
    };
    // As at the end of a zip call: the progress of a finished extraction goes.
    reader.OnUnZipComplete = [this](TZipReader&, int) { view_.showStatusText(""); };
}

void ZipEventHandlers::ZipEngineStartZip(const std::string& fName,
                                         std::optional<TDateTime> modified, bool& skip) {
    if (!state_.CurrentProfile || skip)
        return;
    skip =
        skipByProfile(*state_.CurrentProfile, fName, modified, state_.RunStarted, state_.LastRun);
}

void ZipEventHandlers::ZipEngineEndZip(const std::string& fName, std::uint64_t uncompressedSize,
                                       std::uint64_t compressedSize,
                                       std::optional<TDateTime> modified) {
    if (fName.ends_with('/'))
        return; // a directory entry: neither a file to count nor a line of its own
    ++state_.FilesStored;
    if (!state_.DetailedInfo || !state_.logs.ProfileLogOpen())
        return;
    state_.logs.toProfileLog(
        run_log::storedFileLine(fName, uncompressedSize, compressedSize, modified.value_or(0)));
}

void ZipEventHandlers::ZipEngineSkippingFile(TSkipReason reason, const std::string& fName,
                                             const std::string& detail, bool& retry) {
    if (reason == TSkipReason::srFileExists)
        ++state_.FilesKept;
    if (!left_out::isLeftOut(reason) || !state_.CurrentProfile)
        return;
    retry = false;
    // Found before the profile's selection had its say: what it would not take anyway
    // is not missed (a directory has no date to go by).
    const TObjektZal& profile = *state_.CurrentProfile;
    const auto modified = fName.ends_with('/') ? std::nullopt : fileModified(fName);
    if (modified ? skipByProfile(profile, fName, modified, state_.RunStarted, state_.LastRun)
                 : inExcludedDirectory(profile, fName))
        return;
    ++state_.LeftOut;
    state_.logs.toBoth(left_out::line(LanguageCode, reason, fName, detail));
}

void ZipEventHandlers::ZipEngineInCompleteZip(TIncompleteZipMode& mode) {
    view_.showStatusText(ResourceStrings.GetText(run_msg::Unfinished));
    state_.logs.toBoth(run_log::incompleteLine());
    // Taken as damaged, so that opening it ends instead of asking again.
    mode = TIncompleteZipMode::izAssumeBad;
}

void ZipEventHandlers::ZipEngineGetNextDisk(TZipReader& sender, int nextDisk, std::string& fName) {
    // Part files need no disk change; only a spanned set asks for the next disk.
    if (sender.GetMultiMode() == TMultiMode::mmSpan &&
        ui_.messageBox(ResourceStrings.GetText(run_msg::InsertDisk),
                       ResourceStrings.GetText(run_msg::QuestionCaption), MsgButtons::YesNo,
                       MsgIcon::Question) != MsgAnswer::Yes)
        sender.CancelRunningOperation();
    fName = nextDiskName(fName, nextDisk);
}

void ZipEventHandlers::ZipEngineTotalPercentDone(int percent, const std::string& zipName) {
    if (percent <= state_.LastPercent)
        return;
    state_.LastPercent = percent;
    const std::string text = ResourceStrings.GetText(run_msg::ProgressBefore) +
                             std::to_string(percent) +
                             ResourceStrings.GetText(run_msg::ProgressAfter) + zipName;
    view_.showStatusText(text);
    view_.showTrayHint(text);
}

void ZipEventHandlers::ZipEngineZipComplete() {
    view_.showStatusText("");
    state_.CurrentProfile = nullptr;
    localTimes_ = LocalTimeCache(); // the next run converts by the zone then in force
}

void ZipEventHandlers::ZipEngineStartUnZip(int fileIndex, const std::string& fName, bool& skip) {
    // One look at the target serves both guards and the log line; the targets come
    // directory by directory, each looked up in its open directory.
    struct stat st {};
    const std::optional<FileStamp> stamp =
        targets_.Stat(fName, st) ? std::optional(FileStampOf(st)) : std::nullopt;
    replaced_ = stamp ? std::optional(dateTimeOf(*stamp)) : std::nullopt;
    const auto leaveAlone = [&](std::string why) {
        skip = true;
        state_.LeftAlone.push_back({fileIndex, fName, std::move(why)});
    };
    if (state_.OwnArchives && state_.OwnArchives->covers(fName, stamp))
        return leaveAlone(left_out::ownArchiveText(LanguageCode));
    if (written_.contains(fName, stamp))
        return leaveAlone(left_out::sameNameText(LanguageCode));
}

void ZipEventHandlers::ZipEngineEndUnZip(const std::string& fName,
                                         std::optional<FileStamp> written) {
    ++state_.FilesExtracted; // raised for files only
    if (!written) {
        struct stat st {};
        if (targets_.Stat(fName, st))
            written = FileStampOf(st);
    }
    written_.add(fName, written);
    if (!state_.DetailedInfo || !state_.logs.ProfileLogOpen())
        return;
    // Said once the file is in place: the overwrite rule may keep the old one, and a
    // file that fails its check replaces nothing.
    if (!replaced_) {
        state_.logs.toProfileLog(
            run_log::extractedFileLine(fName, left_out::newFileText(LanguageCode)));
        return;
    }
    state_.logs.toProfileLog(run_log::overwrittenFileLine(fName, *replaced_));
    state_.logs.toProfileLog(run_log::extractedFileLine(fName));
}

} // namespace kd
