#pragma once
#include "app/core/backup/NetworkTarget.h"
#include "app/core/backup/SelfExtractorStep.h"
#include "app/core/profiles/ObjektZal.h"
#include "app/core/runs/MainWindowView.h"
#include "app/core/runs/RunResult.h"
#include "app/core/runs/ZipEventHandlers.h"
#include "app/core/settings/ProgramSettings.h"
#include "platform/Clock.h"
#include "platform/UiHost.h"
#include "platform/VolumeService.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kd {

class TZipWriter;

// The services a backup run reaches; all must outlive it.
struct BackupRunServices {
    UiHost& ui;
    const Clock& clock;
    MainWindowView& view;
    VolumeService& volumes;
    NetworkTarget& network;
};

// Steps of the run that other parts provide; an empty one is left out.
struct BackupRunHooks {
    // Mails the finished archive to the profile's address; gives the line for both logs
    // that says whether the message was handed over.
    std::function<std::string(const std::string& archive, const std::string& address)> MailArchive;
    // Builds the self-extracting program from the finished archive; gives what remains
    // (the program, once the archive is gone) and what was left undone.
    std::function<SelfExtractorResult(const TObjektZal& profile, const std::string& archive)>
        WriteSelfExtractor;
    // Refreshes the profile's row in the list after the run.
    std::function<void(const TObjektZal& profile, int row)> LoadProfileItem;
};

// One backup of one profile: the run logs, the network target, the source and target
// checks, the numbered versions, the wipe of a removable target, the ZIP writer
// configured from the profile (the settings' level, overwrite mode and temporary
// directory are the owner's to set, AppRuns) and called once with all masks, the last-run
// stamp (the run's start), self-extractor, mail (of the file that stays) and the closing
// summary.
//
// A run that ends early or fails never counts as a success: both logs say why, no
// stamp, mail or self-extractor follows, and no earlier archive or version is lost.
// An early end (a directory missing, a disk refused) shows the closing box all the
// same, with the reason and that the backup is unfinished, unless no questions are
// asked.
//
// Nothing is left out in silence: every file or directory the run meant to store and
// could not gets its line in both logs, and the closing box and a closing line in
// both logs give their number. The profile's own archives (every version, part and
// program, and the copies a run keeps aside) are never stored, so a target inside the
// source does not make each version hold the ones before it. A run that finds
// nothing to store (no mask, a source that is gone, every file left aside) writes no
// archive: the archives and versions stay as they are (no stamp either), the logs
// and a warning box say so, and the run counts as incomplete.
// A self-extractor that cannot be built leaves a complete backup in its archive: the
// run succeeds with a warning in both logs and in the closing box.
class BackupRun {
public:
    // What the last run did.
    struct Outcome {
        bool succeeded = false;
        std::uint64_t fileCount = 0;          // files stored
        std::uint64_t leftOut = 0;            // files and directories left out, each logged
        bool keptPrevious = false;            // nothing to store: the archives were kept
        std::vector<std::string> keptBecause; // why, as the logs and the closing box say
        std::string archive;                  // the archive written (or meant to be): its last
                                              // part for a set of parts, the program once built
        std::string failure;                  // why it failed; empty after success
        std::vector<std::string> warnings;    // steps left undone by a successful run

        RunResult result() const {
            if (!succeeded)
                return RunResult::Failed;
            return leftOut > 0 || keptPrevious ? RunResult::Incomplete : RunResult::Complete;
        }
    };

    // programDirectory: where the profiles, stamps, profile logs and, without a log
    // directory, the global log live. The writer's events are bound to this run.
    BackupRun(BackupRunServices services, const ProgramSettings& settings,
              std::string programDirectory, TZipWriter& writer, BackupRunHooks hooks = {});

    // Runs the profile's backup. An error of the ZIP engine or of writing the stamp is
    // rethrown after the closing steps (kd::SilentAbort when the user cancelled); an
    // early end (missing directory, refused disk) gives Failed.
    RunResult RunBackup(TObjektZal& profile, int row);

    const Outcome& lastOutcome() const { return outcome_; }
    RunState& state() { return state_; }

private:
    // Steps before the zipping that can end the run; false when they did.
    bool checkNetworkTarget(const TObjektZal& profile, const std::string& targetDir);
    bool checkSource(const std::string& sourceDir);
    bool checkTarget(const std::string& targetDir);
    bool wipeTarget(const std::string& targetDir, const std::string& sourceDir);
    void runSteps(TObjektZal& profile);
    void openProtocol();
    // append: add to the log of an existing archive rather than start it anew.
    void openProfileLog(const TObjektZal& profile, bool append);
    void configureWriter(const TObjektZal& profile, const std::string& targetDir);
    // Zips the masks; false when the writer found nothing to store and left the
    // profile's archives as they were.
    bool zipMasks(TObjektZal& profile, const std::vector<std::string>& masks);
    // Ends a run that stores nothing: the archives, versions and stamp stay as they
    // are; why goes to both logs and the closing box, and the run counts as incomplete.
    void keepArchives(const TObjektZal& profile, std::vector<std::string> why);
    void mailArchive(const TObjektZal& profile);
    void buildSelfExtractor(const TObjektZal& profile);
    // raised: an exception ends the run and goes on to the caller after these steps.
    void closingBox(bool raised);
    void closingSteps(const TObjektZal& profile, int row, bool raised);

    // Ends the run as failed: the reason goes to the global log and, after an early end,
    // to the closing box.
    void fail(const std::string& reason);
    // Notes a step a successful run left undone, in both logs and the closing box.
    void warn(const std::string& reason);
    // A line for the global log that is written only with detailed information.
    void detail(const std::string& line);
    bool ask(const std::string& text);
    void error(const std::string& text);
    void protocolProblems(const std::vector<std::string>& problems);

    BackupRunServices services_;
    const ProgramSettings& settings_;
    std::string programDirectory_;
    TZipWriter& writer_;
    BackupRunHooks hooks_;
    RunState state_;
    ZipEventHandlers handlers_;
    Outcome outcome_;
};

// The list's ";"-separated pieces that are not empty, in order.
std::vector<std::string> nonEmptyPieces(const std::string& list);

} // namespace kd
