#include "app/core/runs/CancelTexts.h"

#include "lang/Translations.h"
#include "platform/Exception.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

std::string cancelledText(std::string_view languageCode, CancelledRun run) {
    static constexpr Translations kBackup{"Zálohování bylo přerušeno uživatelem.",
                                          "The backup was cancelled by the user.",
                                          "Zálohovanie bolo prerušené používateľom."};
    static constexpr Translations kRestore{"Obnova byla přerušena uživatelem.",
                                           "The restore was cancelled by the user.",
                                           "Obnova bola prerušená používateľom."};
    return (run == CancelledRun::Backup ? kBackup : kRestore).in(languageCode);
}

bool isCancel(const std::exception& error) {
    return dynamic_cast<const EUserCanceled*>(&error) != nullptr ||
           dynamic_cast<const SilentAbort*>(&error) != nullptr;
}

} // namespace kd
