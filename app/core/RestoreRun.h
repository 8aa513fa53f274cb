#pragma once
#include "app/core/ExtractOptions.h"
#include "app/core/NewestArchive.h"

#include <optional>
#include <string>
#include <vector>

namespace kd {

class MainState;
class TZipReader;
struct RunState;

// Restoring a profile from its newest archive, and opening that archive for the
// contents page, through the main window's ZIP engine.
class RestoreRun {
public:
    // runState holds the logs the engine's event handlers write to (ZipEventHandlers).
    // All must outlive the run.
    RestoreRun(MainState& state, TZipReader& engine, RunState& runState);

    struct OpenedArchive {
        std::string profileName;
        NewestArchive archive;
    };
    // Opens the newest archive of the row's profile in the engine and reads its
    // directory, with the engine's destination set to the profile's source directory.
    // When the profile has no archive: the box "Záloha neexistuje", the ready state
    // and nullopt. An archive that cannot be read throws.
    std::optional<OpenedArchive> OpenProfileArchive(int row);

    // Restores every entry of the row's newest archive into the profile's source
    // directory, recreating the stored directories, with the profile's password, and
    // overwriting the files there. Writes the per-profile log, and tells the user when
    // entries could not be extracted or nothing was. True when every chosen entry was
    // extracted. Errors that end the run are logged and thrown after the ready state
    // is back; a profile without a source directory throws before anything is written.
    bool RestoreBackup(int row);

    // Extracts from the archive the contents page shows, with the extraction dialog's
    // options; the rows are the contents list's selected rows. Tells the user when
    // entries could not be extracted or nothing was. Gives the number extracted.
    int ExtractFromContents(const ExtractOptions& options, const std::vector<int>& selectedRows);

private:
    // Extracts the whole archive as set up, with the profile's log open.
    bool restoreProfile(const std::string& profileName);
    // Reports an extraction that left entries out or extracted nothing.
    void reportOutcome(int extracted);

    MainState& state_;
    TZipReader& engine_;
    RunState& runState_;
};

} // namespace kd
