#include "app/core/main/AlreadyRunning.h"

#include "app/core/settings/SettingsFile.h"
#include "lang/Translations.h"
#include "platform/Paths.h"

namespace kd {

std::string alreadyRunningText(const std::string& programDirectory) {
    static constexpr Translations kText{
        "Kordyne už běží; nic nebylo zálohováno ani obnoveno (přidejte \"wait\", chcete-li "
        "počkat, až skončí).",
        "Kordyne is already running; nothing was backed up or restored (add \"wait\" to wait "
        "for it).",
        "Kordyne už beží; nič nebolo zálohované ani obnovené (pridajte \"wait\", ak chcete "
        "počkať, kým skončí)."};
    SilentUiHost silent;
    const ProgramSettings settings =
        SettingsFile::read(withTrailingSlash(programDirectory) + SettingsFile::FileName, silent);
    return kText.in(settings.LanguageCode);
}

} // namespace kd
