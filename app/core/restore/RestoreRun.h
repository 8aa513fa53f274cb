#pragma once
#include "app/core/profiles/ProfileList.h"
#include "app/core/restore/ExtractOptions.h"
#include "app/core/restore/NewestArchive.h"
#include "app/core/runs/MainWindowView.h"
#include "app/core/runs/RunResult.h"
#include "app/core/settings/ProgramSettings.h"
#include "platform/Clock.h"
#include "platform/UiHost.h"
#include "zip/reader/ExtractFailure.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kd {

class TZipReader;
struct RunState;

// What a restore reaches of the main window; all must outlive the run.
struct RestoreRunServices {
    UiHost& ui;
    const Clock& clock;
    MainWindowView& view;
    const ProgramSettings& settings;
    const ProfileList& profiles;
    // Where the profile logs live, beside the profiles.
    std::string programDirectory;
};

// How the last restore or extraction went. Every entry of a restored archive's
// directory is either restored or counted as failed (and named in the profile's log).
struct RestoreOutcome {
    int restored = 0;       // entries extracted (directories included)
    int failed = 0;         // entries that could not be, or were left alone: files left out
    int kept = 0;           // files the overwrite rule left as they were
    bool completed = false; // the run went through the archive (no error ended it)
};

// Restoring a profile from its newest archive, and opening that archive for the
// contents page, through the main window's ZIP engine.
class RestoreRun {
public:
    // runState holds the logs the engine's event handlers write to (ZipEventHandlers).
    // Both must outlive the run.
    RestoreRun(RestoreRunServices services, TZipReader& engine, RunState& runState);

    struct OpenedArchive {
        std::string profileName;
        NewestArchive archive;
    };
    // Opens the newest archive of the row's profile in the engine and reads its
    // directory, with the engine's destination set to the profile's source directory.
    // When the profile has no archive: the box "Záloha neexistuje", the ready state
    // and nullopt. An archive that cannot be read throws (one that is no ZIP archive or
    // a ZIP64 one with a message in the program's language). Until the next one is
    // opened, extracting never writes over the profile's own archives.
    std::optional<OpenedArchive> OpenProfileArchive(int row);

    // Restores every entry of the row's newest archive into the profile's source
    // directory, recreating the stored directories, with the profile's password, and
    // overwriting the files there, but never the profile's own archives nor a file an
    // earlier entry of the run wrote (such an entry is left alone and logged). Writes
    // the per-profile log, and ends with the closing box (extractionReport) unless no
    // questions are asked. Complete when every chosen entry was extracted, Incomplete
    // when some were not (each is logged), Failed when no file was; LastOutcome()
    // gives the counts of entries, the log and the box those of files (directory
    // entries are restored, not counted). Errors that end the run, an archive that
    // cannot be read among them, are logged and thrown after the ready state is back;
    // a profile without a source directory throws before anything is written.
    RunResult RestoreBackup(int row);
    const RestoreOutcome& LastOutcome() const { return outcome_; }

    // Extracts from the archive the contents page shows, with the extraction dialog's
    // options; the rows are the contents list's selected rows. Writes the profile's log
    // and ends with the closing box, as a restore does. Gives the number of files
    // extracted.
    int ExtractFromContents(const ExtractOptions& options, const std::vector<int>& selectedRows);

private:
    // The newest archive of the row's profile, with the engine's destination set;
    // the box "Záloha neexistuje" and nullopt when there is none.
    std::optional<OpenedArchive> findProfileArchive(int row);
    // Opens the archive in the engine and reads its directory.
    void readArchive(const TObjektZal& profile, const std::string& path);
    // Reads the archive and extracts all of it as set up, with the profile's log open.
    RunResult restoreProfile(const TObjektZal& profile, const OpenedArchive& opened);
    // Runs extract (which gives the number of entries extracted) with the profile's
    // log open: its header, a line per entry from the event handlers, then the entries
    // not extracted and the counts, and the closing box. Gives the number of files
    // extracted. An error is logged and goes on to the caller (a cancel as
    // kd::SilentAbort with the program's own text).
    int extractLogged(const std::string& profileName, const std::function<int()>& extract);
    // The entries the last extraction could not extract or left alone (the profile's
    // own archives, files the extraction had already written).
    std::vector<TExtractFailure> notExtracted() const;
    // Shows how the extraction ended: what was extracted, failed and kept.
    void reportOutcome(int extracted, const std::vector<TExtractFailure>& failures);
    // Runs the work; a cancel of the engine's goes on as kd::SilentAbort with the
    // program's own text.
    template <class Work> void cancelInOwnWords(Work&& work);

    RestoreRunServices services_;
    TZipReader& engine_;
    RunState& runState_;
    RestoreOutcome outcome_;
    std::string openedProfile_; // whose archive the engine has open
};

} // namespace kd
