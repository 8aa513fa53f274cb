#include "app/core/main/AppRuns.h"

#include "app/core/backup/SelfExtractorStep.h"
#include "app/core/mail/MailArchive.h"
#include "lang/TResourceStrings.h"
#include "platform/ArchiveAttributeStore.h"
#include "platform/LinuxVolumeService.h"
#include "platform/Paths.h"
#include "zip/format/ZipExceptions.h"

#include <algorithm>

namespace kd {

struct AppRuns::SystemPlatform {
    LinuxVolumeService volumes;
    AutomountNetworkTarget network;
    ArchiveAttributeStore attributes;
    // The user's store of the program, named after the executable as the window's is.
    RegistryStore registry{fileNameOf(executablePath()).empty() ? "kordyne"
                                                                : fileNameOf(executablePath())};
};

AppRuns::AppRuns(MainState& state) : AppRuns(state, std::make_unique<SystemPlatform>()) {}

AppRuns::AppRuns(MainState& state, std::unique_ptr<SystemPlatform> owned)
    : AppRuns(state, RunPlatform{
                         owned->volumes, owned->network, owned->attributes, {}, &owned->registry}) {
    owned_ = std::move(owned);
}

AppRuns::AppRuns(MainState& state, RunPlatform platform)
    : state_(state), zipEngine_(state.ui(), platform.volumes, platform.attributes),
      backup_({state.ui(), state.clock(), state.view(), platform.volumes, platform.network},
              state.settings, state.programDirectory(), zipEngine_, hooks(platform)),
      restore_({state.ui(), state.clock(), state.view(), state.settings, state.profiles,
                state.programDirectory()},
               zipEngine_, backup_.state()) {
    applySettings(state.settings);
    // The extraction dialog starts from the engine's choice: a tree comes back as a
    // tree unless the user asks for the files alone.
    zipEngine_.SetRecreateDirs(true);
}

AppRuns::~AppRuns() = default;

BackupRunHooks AppRuns::hooks(const RunPlatform& platform) {
    BackupRunHooks result;
    MailOptions options;
    // The engine's own check: drains the window's events and raises EUserCanceled once
    // the cancel button (or quitting during the run) asked for it, so that the same
    // request that stops the zipping stops the mail.
    options.pump = [this] {
        try {
            zipEngine_.ProcessMessagesAndCheckCancel();
        } catch (const EUserCanceled&) {
            throw MailCancelled();
        }
    };
    options.status = [this](const std::string& text) { state_.view().showStatusText(text); };
    result.MailArchive = [this, mail = MailArchive(platform.registry, std::move(options))](
                             const std::string& archive, const std::string& address) {
        return mail(archive, address, state_.settings.NoQuestions, LanguageCode);
    };
    result.WriteSelfExtractor =
        SelfExtractorStep(platform.selfExtractorStub.empty() ? defaultSelfExtractorStub()
                                                             : platform.selfExtractorStub);
    result.LoadProfileItem = [this](const TObjektZal& profile, int) {
        const int current = state_.profiles.rowOf(&profile);
        if (current >= 0)
            state_.profiles.refreshTexts(current, state_.lastRunOf(profile.Name));
    };
    return result;
}

void AppRuns::applySettings(const ProgramSettings& settings) {
    zipEngine_.SetPackLevel(std::clamp(settings.PackLevel, 0, 9));
    if (settings.OverwriteMode >= 0 && settings.OverwriteMode <= 4)
        zipEngine_.SetOverwriteMode(static_cast<TUZOverwriteMode>(settings.OverwriteMode));
    zipEngine_.SetTempPath(settings.TempPath);
}

RunResult AppRuns::RunBackup(TObjektZal& profile, int row) {
    return backup_.RunBackup(profile, row);
}

RunResult AppRuns::RestoreBackup(int row) {
    return restore_.RestoreBackup(row);
}

} // namespace kd
