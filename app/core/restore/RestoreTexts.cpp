#include "app/core/restore/RestoreTexts.h"

#include "lang/EngineMessages.h"
#include "lang/Translations.h"
#include "zip/format/ZipExceptions.h"

#include <array>

namespace kd {
namespace {

constexpr std::array<Translations, 17> kTexts = {{
    {"nelze obnovit: ", "not restored: ", "nemožno obnoviť: "},
    {"Obnoveno souborů: ", "Files restored: ", "Obnovených súborov: "},
    {"Nepodařilo se obnovit: ", "Could not be restored: ", "Nepodarilo sa obnoviť: "},
    {"Ze zálohy nebyl obnoven žádný soubor.", "No file was restored from the backup.",
     "Zo zálohy nebol obnovený žiadny súbor."},
    {"Obnova je dokončena.", "The restore is finished.", "Obnova je dokončená."},
    {"Ponecháno stávajících souborů: ", "Existing files kept: ",
     "Ponechaných existujúcich súborov: "},
    {"Obnova nebyla dokončena: ", "The restore did not complete: ", "Obnova nebola dokončená: "},
    {"Profil nemá zdrojový adresář, není kam obnovit.",
     "The profile has no source directory to restore into.",
     "Profil nemá zdrojový adresár, nie je kam obnoviť."},
    {"Soubor není platný archiv ZIP: ", "Not a valid zip file: ",
     "Súbor nie je platný archív ZIP: "},
    {"Archiv ve formátu ZIP64 (nad 4 GiB nebo 65535 souborů) nelze číst: ",
     "ZIP64 archives (over 4 GiB or 65535 files) cannot be read: ",
     "Archív vo formáte ZIP64 (nad 4 GiB alebo 65535 súborov) nie je možné čítať: "},
    {"šifrování AES není podporováno", "AES encryption is not supported",
     "šifrovanie AES nie je podporované"},
    {"data se překrývají s jinou položkou archivu (možná zip bomba)",
     "its data overlap another entry of the archive (possible zip bomb)",
     "dáta sa prekrývajú s inou položkou archívu (možná zip bomba)"},
    {"jméno je delší než 65535 bajtů", "the name is longer than 65535 bytes",
     "meno je dlhšie ako 65535 bajtov"},
    {"archiv nelze dočíst, data souboru nejsou celá",
     "the archive cannot be read to the end of the file's data",
     "archív nie je možné dočítať, dáta súboru nie sú celé"},
    {"soubor nelze zapsat", "the file cannot be written", "súbor nie je možné zapísať"},
    {"Archiv je neúplný nebo poškozený: chybí jeho koncový záznam",
     "The archive is incomplete or damaged: its end record is missing",
     "Archív je neúplný alebo poškodený: chýba jeho koncový záznam"},
    {"Obnova skončila, ale některé soubory obnovit nešlo.",
     "The restore ended, but some files could not be restored.",
     "Obnova skončila, ale niektoré súbory nebolo možné obnoviť."},
}};

// Entries named in the box; the rest only counted.
constexpr std::size_t kListedFailures = 10;

} // namespace

std::string restoreText(std::string_view languageCode, RestoreText text) {
    return kTexts[static_cast<std::size_t>(text)].in(languageCode);
}

std::string failureText(std::string_view languageCode, const TExtractFailure& failure) {
    switch (failure.Problem) {
    case TExtractProblem::AesEncrypted:
        return restoreText(languageCode, RestoreText::AesEncrypted);
    case TExtractProblem::Overlapping:
        return restoreText(languageCode, RestoreText::Overlapping);
    case TExtractProblem::NameTooLong:
        return restoreText(languageCode, RestoreText::NameTooLong);
    case TExtractProblem::ReadFailed:
        return restoreText(languageCode, RestoreText::ReadFailed) + " (" +
               EngineMessageText(failure.Message) + ")";
    case TExtractProblem::WriteFailed:
        return restoreText(languageCode, RestoreText::WriteFailed) + " (" +
               EngineMessageText(failure.Message) + ")";
    case TExtractProblem::Other:
        break;
    }
    return EngineMessageText(failure.Message);
}

std::optional<std::string> archiveRefusal(std::string_view languageCode, const std::string& archive,
                                          const std::exception& error) {
    const bool zip64 = dynamic_cast<const EZip64NotSupported*>(&error) != nullptr;
    if (!zip64 && !dynamic_cast<const EBadZipFile*>(&error) &&
        !dynamic_cast<const ENotAZipFile*>(&error))
        return std::nullopt;
    std::string text =
        restoreText(languageCode, zip64 ? RestoreText::Zip64 : RestoreText::NotAZip) + archive;
    // The engine's detail, when it says more than the plain refusal.
    if (std::string_view(error.what()) != kMsgNotValidZip)
        text += " (" + EngineMessageText(error.what()) + ")";
    return text;
}

std::string extractionReport(std::string_view languageCode, int extracted, int kept,
                             const std::vector<TExtractFailure>& failures) {
    // Never "finished" over files that could not be restored.
    const RestoreText verdict = extracted == 0 && kept == 0 ? RestoreText::NothingRestored
                                : failures.empty()          ? RestoreText::Finished
                                                            : RestoreText::PartlyFinished;
    std::string text =
        restoreText(languageCode, verdict) + "\n" +
        restoreText(languageCode, RestoreText::RestoredCount) + std::to_string(extracted) + "\n" +
        restoreText(languageCode, RestoreText::FailedCount) + std::to_string(failures.size()) +
        "\n" + restoreText(languageCode, RestoreText::KeptCount) + std::to_string(kept);
    for (std::size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
        text += "\n" + failures[i].Name + ": " + failureText(languageCode, failures[i]);
    if (failures.size() > kListedFailures)
        text += "\n...";
    return text;
}

} // namespace kd
