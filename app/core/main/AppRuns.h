#pragma once
#include "app/core/backup/BackupRun.h"
#include "app/core/backup/NetworkTarget.h"
#include "app/core/main/MainState.h"
#include "app/core/main/WindowZipEngine.h"
#include "app/core/restore/RestoreRun.h"
#include "app/core/runs/MainWindowRuns.h"
#include "platform/ArchiveAttribute.h"
#include "platform/RegistryStore.h"
#include "platform/VolumeService.h"

#include <memory>
#include <string>

namespace kd {

// The platform services the runs use; all must outlive the runs.
struct RunPlatform {
    VolumeService& volumes;
    NetworkTarget& network;
    ArchiveAttribute& attributes;
    // The self-extractor stub; empty: "SfxStub.bin" beside the executable.
    std::string selfExtractorStub = {};
    // Where the mail step sets its flag; none: no flag.
    RegistryStore* registry = nullptr;
};

// The main window's runs: the backup run and the restore run over the window's ZIP
// writer `ZipEngine`, whose level, overwrite mode and temporary directory follow
// the settings. Both write their logs through the same event handlers.
class AppRuns : public MainWindowRuns {
public:
    // Over the system's volumes, automounted shares and archive attributes.
    explicit AppRuns(MainState& state);
    AppRuns(MainState& state, RunPlatform platform);
    ~AppRuns() override;

    RunResult RunBackup(TObjektZal& profile, int row) override;
    RunResult RestoreBackup(int row) override;
    // The writer's level, overwrite mode and temporary directory: at start-up and
    // whenever the settings are saved.
    void applySettings(const ProgramSettings& settings) override;

    // The cancel button: the running zip call stops at its next check, as does the
    // hand-over of the run's mail.
    void cancel() { zipEngine_.CancelRunningOperation(); }

    TZipWriter& ZipEngine() { return zipEngine_; }
    BackupRun& backup() { return backup_; }
    // Also opens archives for the contents page and extracts from them.
    RestoreRun& restore() { return restore_; }

private:
    struct SystemPlatform;
    AppRuns(MainState& state, std::unique_ptr<SystemPlatform> owned);
    BackupRunHooks hooks(const RunPlatform& platform);

    std::unique_ptr<SystemPlatform> owned_;
    MainState& state_;
    WindowZipEngine zipEngine_;
    BackupRun backup_;
    RestoreRun restore_;
};

} // namespace kd
