#include "app/core/profiles/ProfileTexts.h"

#include "lang/Translations.h"

#include <array>

namespace kd {
namespace {

constexpr std::array<Translations, 8> kTexts = {{
    {"Heslo smí obsahovat jen písmena bez diakritiky, číslice, mezeru a běžné znaky "
     "(tisknutelné znaky ASCII).",
     "The password may contain only letters without accents, digits, blanks and common "
     "punctuation (printable ASCII characters).",
     "Heslo môže obsahovať iba písmená bez diakritiky, číslice, medzeru a bežné znaky "
     "(tlačiteľné znaky ASCII)."},
    {"Označení profilu nesmí být prázdné.", "The profile name must not be empty.",
     "Označenie profilu nesmie byť prázdne."},
    {"Označení profilu nesmí obsahovat znaky \"/\" a \"\\\".",
     "The profile name must not contain \"/\" or \"\\\".",
     "Označenie profilu nesmie obsahovať znaky \"/\" a \"\\\"."},
    {"Označení profilu nesmí obsahovat tečku.", "The profile name must not contain a dot.",
     "Označenie profilu nesmie obsahovať bodku."},
    {"Profil s tímto označením již existuje: ", "A profile with this name already exists: ",
     "Profil s týmto označením už existuje: "},
    {"Potvrzení hesla", "Confirm the password", "Potvrdenie hesla"},
    {"Zadejte heslo:", "Enter the password:", "Zadajte heslo:"},
    {"Filtr souborů je prázdný: zadejte alespoň jednu masku souborů (například *.*), jinak by "
     "záloha nic neuložila.",
     "The file filter is empty: enter at least one file mask (for example *.*), otherwise the "
     "backup would store nothing.",
     "Filter súborov je prázdny: zadajte aspoň jednu masku súborov (napríklad *.*), inak by "
     "záloha nič neuložila."},
}};

} // namespace

std::string localText(std::string_view languageCode, ProfileText text) {
    return kTexts[static_cast<std::size_t>(text)].in(languageCode);
}

} // namespace kd
