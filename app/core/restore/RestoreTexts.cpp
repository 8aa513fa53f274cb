#include "app/core/restore/RestoreTexts.h"

#include <array>

namespace kd {
namespace {

struct Translations {
    std::string_view cz, en, sk;
};

constexpr std::array<Translations, 6> kTexts = {{
    {"nelze obnovit: ", "not restored: ", "nemožno obnoviť: "},
    {"Obnoveno souborů: ", "Files restored: ", "Obnovených súborov: "},
    {"Nepodařilo se obnovit: ", "Could not be restored: ", "Nepodarilo sa obnoviť: "},
    {"Ze zálohy nebyl obnoven žádný soubor.", "No file was restored from the backup.",
     "Zo zálohy nebol obnovený žiadny súbor."},
    {"Obnova nebyla dokončena: ", "The restore did not complete: ", "Obnova nebola dokončená: "},
    {"Profil nemá zdrojový adresář, není kam obnovit.",
     "The profile has no source directory to restore into.",
     "Profil nemá zdrojový adresár, nie je kam obnoviť."},
}};

// Entries named in the box; the rest only counted.
constexpr std::size_t kListedFailures = 10;

} // namespace

std::string restoreText(std::string_view languageCode, RestoreText text) {
    const Translations& t = kTexts[static_cast<std::size_t>(text)];
    if (languageCode == "EN")
        return std::string(t.en);
    return std::string(languageCode == "SK" ? t.sk : t.cz);
}

std::optional<std::string> extractionReport(std::string_view languageCode, int extracted,
                                            const std::vector<TExtractFailure>& failures) {
    if (failures.empty())
        return extracted > 0
                   ? std::nullopt
                   : std::optional(restoreText(languageCode, RestoreText::NothingRestored));
    std::string text =
        restoreText(languageCode, RestoreText::RestoredCount) + std::to_string(extracted) + "\n" +
        restoreText(languageCode, RestoreText::FailedCount) + std::to_string(failures.size());
    for (std::size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
        text += "\n" + failures[i].Name + ": " + failures[i].Message;
    if (failures.size() > kListedFailures)
        text += "\n...";
    return text;
}

} // namespace kd
