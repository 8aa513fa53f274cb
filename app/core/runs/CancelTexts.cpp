#include "app/core/runs/CancelTexts.h"

#include "platform/Exception.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

std::string cancelledText(std::string_view languageCode, CancelledRun run) {
    const bool backup = run == CancelledRun::Backup;
    if (languageCode == "EN")
        return backup ? "The backup was cancelled by the user."
                      : "The restore was cancelled by the user.";
    if (languageCode == "SK")
        return backup ? "Zálohovanie bolo prerušené používateľom."
                      : "Obnova bola prerušená používateľom.";
    return backup ? "Zálohování bylo přerušeno uživatelem." : "Obnova byla přerušena uživatelem.";
}

bool isCancel(const std::exception& error) {
    return dynamic_cast<const EUserCanceled*>(&error) != nullptr ||
           dynamic_cast<const SilentAbort*>(&error) != nullptr;
}

} // namespace kd
