#include "app/core/main/StartUpTexts.h"

#include "app/core/settings/SettingsFile.h"
#include "lang/Translations.h"
#include "platform/Paths.h"

namespace kd {
namespace {

std::string inSettingsLanguage(const Translations& text, const std::string& programDirectory) {
    SilentUiHost silent;
    const ProgramSettings settings =
        SettingsFile::read(withTrailingSlash(programDirectory) + SettingsFile::FileName, silent);
    return text.in(settings.LanguageCode);
}

} // namespace

std::string alreadyRunningText(const std::string& programDirectory) {
    static constexpr Translations kText{
        "Kordyne už běží; nic nebylo zálohováno ani obnoveno (přidejte \"wait\", chcete-li "
        "počkat, až skončí).",
        "Kordyne is already running; nothing was backed up or restored (add \"wait\" to wait "
        "for it).",
        "Kordyne už beží; nič nebolo zálohované ani obnovené (pridajte \"wait\", ak chcete "
        "počkať, kým skončí)."};
    return inSettingsLanguage(kText, programDirectory);
}

std::string noDisplayText(const std::string& programDirectory) {
    static constexpr Translations kText{
        "Kordyne nenašel žádný displej. Spusťte jej i tak s QT_QPA_PLATFORM=offscreen, nebo "
        "spusťte jeden profil: kordyne a <profil>",
        "Kordyne found no display. Run it anyway with QT_QPA_PLATFORM=offscreen, or run one "
        "profile: kordyne a <profile>",
        "Kordyne nenašiel žiadny displej. Spustite ho aj tak s QT_QPA_PLATFORM=offscreen, alebo "
        "spustite jeden profil: kordyne a <profil>"};
    return inSettingsLanguage(kText, programDirectory);
}

} // namespace kd
