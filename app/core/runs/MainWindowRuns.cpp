#include "app/core/runs/MainWindowRuns.h"

#include "app/core/profiles/ProfileTexts.h"
#include "lang/TResourceStrings.h"

namespace kd {

RunResult RunsNotAvailable::RunBackup(TObjektZal& profile, int) {
    ui_.messageBox("Backup runs are not available yet (profile \"" + profile.Name + "\").",
                   ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok,
                   MsgIcon::Warning);
    return RunResult::Failed;
}

RunResult RunsNotAvailable::RestoreBackup(int) {
    ui_.messageBox("Restoring is not available yet.",
                   ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok,
                   MsgIcon::Warning);
    return RunResult::Failed;
}

} // namespace kd
