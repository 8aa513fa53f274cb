#include "lang/EngineMessages.h"
#include "lang/TResourceStrings.h"

#include <gtest/gtest.h>

using namespace kd;

namespace {

std::string in(const char* code, const std::string& message) {
    const TResourceStrings table(code);
    return EngineMessageText(message, [&](int id) { return table.GetText(id); });
}

} // namespace

TEST(EngineMessages, ThePhrasesOfAnErrorTakeTheLanguageAndThePathStays) {
    const std::string readOnly =
        "Cannot create a temporary file beside /mnt/disk/a.txt: Read-only file system";
    EXPECT_EQ(in("CZ", readOnly),
              "Nelze vytvořit dočasný soubor pro /mnt/disk/a.txt: systém souborů je jen pro čtení");
    EXPECT_EQ(in("SK", readOnly), "Nie je možné vytvoriť dočasný súbor pre /mnt/disk/a.txt: "
                                  "systém súborov je len na čítanie");
    EXPECT_EQ(in("EN", readOnly), readOnly);

    EXPECT_EQ(in("CZ", "Wrong password"), "Chybné heslo");
    EXPECT_EQ(in("SK", "Wrong password"), "Nesprávne heslo");
    EXPECT_EQ(in("CZ", "Wrong password or damaged data: CRC error (computed 0000ABCD, stored "
                       "12345678)"),
              "Chybné heslo nebo poškozená data: Chyba CRC (vypočteno 0000ABCD, uloženo 12345678)");
    // The longer phrase wins over the one it starts with.
    EXPECT_EQ(in("CZ", "Cannot open directory /x: Permission denied"),
              "Nelze otevřít adresář /x: přístup odepřen");
    EXPECT_EQ(in("CZ", "Cannot open \"/x/Nastaven.txt\": No such file or directory"),
              "Nelze otevřít \"/x/Nastaven.txt\": soubor nebo adresář neexistuje");
}

TEST(EngineMessages, OnlyWholePartsOfTheMessageAreTranslated) {
    // Inside a name, or run on into another word, a phrase is left alone.
    EXPECT_EQ(in("CZ", "Cannot write /data/Wrong password/Cannot read.txt: File too large"),
              "Nelze zapsat /data/Wrong password/Cannot read.txt: soubor je příliš velký");
    EXPECT_EQ(in("CZ", "Wrong passwords"), "Wrong passwords");
    EXPECT_EQ(in("CZ", "Something else entirely"), "Something else entirely");
    EXPECT_EQ(in("CZ", ""), "");
}

TEST(EngineMessages, FollowsTheProgramsMessageTable) {
    ResourceStrings.LoadLanguage("SK");
    EXPECT_EQ(EngineMessageText("Stream write error"), "Chyba zápisu");
    ResourceStrings.LoadLanguage("CZ");
    EXPECT_EQ(EngineMessageText("Stream write error"), "Chyba zápisu");
    EXPECT_EQ(EngineMessageText("Permission denied"), "přístup odepřen");
}
