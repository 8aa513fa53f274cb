#include "app/core/settings/BuiltInAdverts.h"

namespace kd {

const AdvertTables& builtInAdverts() {
    static const AdvertTables tables{
        {"Kordyne – správce záloh pro Linux: profily, plány a standardní archivy ZIP.",
         "Jak na to? Klepněte sem a přečtěte si nápovědu programu Kordyne.",
         "Zálohy: zdroj, masky a plán v profilu, číslované verze archivu, dělení na části.",
         "Obnova: celý profil jedním příkazem, nebo jen vybrané soubory z obsahu archivu.",
         "Samorozbalovací archiv: záloha, která se rozbalí sama, bez dalšího programu."},
        {"Kordyne – a backup manager for Linux: profiles, schedules and standard ZIP archives.",
         "How does it work? Click here to read Kordyne's help.",
         "Backups: source, masks and schedule in a profile, numbered archive versions, parts.",
         "Restore: a whole profile with one command, or just the files you pick from an archive.",
         "Self-extracting archives: a backup that unpacks itself, with no other program."},
        {"Kordyne – správca záloh pre Linux: profily, plány a štandardné archívy ZIP.",
         "Ako na to? Kliknite sem a prečítajte si nápovedu programu Kordyne.",
         "Zálohy: zdroj, masky a plán v profile, číslované verzie archívu, delenie na časti.",
         "Obnova: celý profil jedným príkazom, alebo len vybrané súbory z obsahu archívu.",
         "Samorozbaľovací archív: záloha, ktorá sa rozbalí sama, bez ďalšieho programu."}};
    return tables;
}

const AdvertTexts& advertsIn(const AdvertTables& tables, std::string_view languageCode) {
    if (languageCode == "EN")
        return tables.EN;
    return languageCode == "SK" ? tables.SK : tables.CZ;
}

} // namespace kd
