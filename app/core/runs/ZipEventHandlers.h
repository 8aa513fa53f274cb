#pragma once
#include "app/core/logs/RunLogs.h"
#include "app/core/profiles/ObjektZal.h"
#include "app/core/runs/MainWindowView.h"
#include "app/core/runs/ProfileArchives.h"
#include "app/core/runs/RestoredFiles.h"
#include "platform/LocalTimeCache.h"
#include "platform/SiblingStat.h"
#include "platform/UiHost.h"
#include "zip/reader/ExtractFailure.h"
#include "zip/reader/ZipReaderTypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kd {

class TZipReader;
class TZipWriter;

// What the ZIP engine's event handlers share with the run that drives the engine.
struct RunState {
    // The profile whose archive is being written; none between zip calls.
    const TObjektZal* CurrentProfile = nullptr;
    // The moment of the last run (from its stamp); 0 when it never ran.
    TDateTime LastRun = 0;
    // "Now" of the age test: the start of the run.
    TDateTime RunStarted = 0;
    bool DetailedInfo = true;
    // Files and directories the backup meant to store and left out, each named in
    // both logs.
    std::uint64_t LeftOut = 0;
    // Files (not directory entries) the engine wrote into an archive, and extracted
    // from one, since the run began: the counts users see.
    std::uint64_t FilesStored = 0;
    std::uint64_t FilesExtracted = 0;
    // Files an extraction left as they were because the overwrite rule kept them.
    std::uint64_t FilesKept = 0;
    // The archives of the profile being restored: never written over.
    std::optional<ProfileArchives> OwnArchives;
    // The entries an extraction left alone, with the target they would have written
    // over: one of OwnArchives, or a file another entry of the same run wrote.
    std::vector<TExtractFailure> LeftAlone;
    int LastPercent = 0;
    RunLogs logs;
};

// Whether a backup leaves out the file: too old (backup kind 1), not changed since
// the last run (kind 2; both when its date is unknown), or inside one of the
// profile's excluded directories ("/data/a" covers "/data/a/x" but not "/data/ab/x";
// letter case counts). A directory (ending in "/") goes only by the excluded
// directories: its entry keeps its mode and time for the files stored in it.
bool skipByProfile(const TObjektZal& profile, const std::string& fName,
                   std::optional<TDateTime> modified, TDateTime now, TDateTime lastRun);
// Whether fName (a file, or a directory ending in "/") lies inside one of the
// profile's excluded directories.
bool inExcludedDirectory(const TObjektZal& profile, const std::string& fName);

// A file's last-modification moment as a local date-time, to fractions of a second;
// nullopt when it cannot be read.
std::optional<TDateTime> fileModified(const std::string& path);
// The same for the file the writer reports: the time it saw on the open file, or else
// the file system's; localTimes, when given, converts the time the writer saw.
std::optional<TDateTime> fileModified(const TZipWriter& writer, const std::string& path,
                                      LocalTimeCache* localTimes = nullptr);

// The main window's handlers of the ZIP engine's events: the file selection of a
// backup, the lines of the run logs, the progress in the status bar and the
// notification hint, and the next-disk question.
class ZipEventHandlers {
public:
    ZipEventHandlers(RunState& state, MainWindowView& view, UiHost& ui);

    // Binds the writer's events (and the reader events it inherits) to the handlers.
    void bind(TZipWriter& writer);
    // Binds the events a restore needs: the extraction lines and the incomplete archive.
    void bindExtraction(TZipReader& reader);

    // modified: the file's last-write time (see fileModified).
    void ZipEngineStartZip(const std::string& fName, std::optional<TDateTime> modified, bool& skip);
    // A stored file is counted (FilesStored) and gets its line; a directory entry neither.
    void ZipEngineEndZip(const std::string& fName, std::uint64_t uncompressedSize,
                         std::uint64_t compressedSize, std::optional<TDateTime> modified);
    // A file or directory the writer left out (detail: the system's reason) is logged
    // in both logs and counted, unless the profile would not have taken it anyway. A
    // file an extraction keeps by the overwrite rule is counted (FilesKept).
    void ZipEngineSkippingFile(TSkipReason reason, const std::string& fName,
                               const std::string& detail, bool& retry);
    void ZipEngineInCompleteZip(TIncompleteZipMode& mode);
    void ZipEngineGetNextDisk(TZipReader& sender, int nextDisk, std::string& fName);
    void ZipEngineTotalPercentDone(int percent, const std::string& zipName);
    void ZipEngineZipComplete();
    // An entry that would write over one of the profile's own archives, or over a
    // file the same extraction has written (two entries of one name, or of one file
    // name when the directories are left out), is skipped and noted in LeftAlone.
    void ZipEngineStartUnZip(int fileIndex, const std::string& fName, bool& skip);
    // An extracted file is counted (FilesExtracted) and gets its line, which says
    // whether it replaced a file (after a line with the replaced file's time).
    // written: the file's stamp as the engine made it, when it tells; else the path
    // is looked at.
    void ZipEngineEndUnZip(const std::string& fName, std::optional<FileStamp> written);

private:
    RunState& state_;
    MainWindowView& view_;
    UiHost& ui_;
    SiblingStat targets_;   // the files a restore is about to write
    RestoredFiles written_; // the files this extraction has written
    // The last entry started: the time of the file it is to replace, if any.
    std::optional<TDateTime> replaced_;
    // The dates of the files a zip call asks about.
    LocalTimeCache localTimes_;
};

// fName with its extension replaced by "." and the disk number in three digits.
std::string nextDiskName(const std::string& fName, int nextDisk);

} // namespace kd
