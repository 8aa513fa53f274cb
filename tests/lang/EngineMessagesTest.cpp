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
    EXPECT_EQ(in("SK", "Cannot load the profile \"Data\": Cannot open \"/x/Data.lus\": "
                       "Permission denied"),
              "Nie je možné načítať profil \"Data\": Nie je možné otvoriť \"/x/Data.lus\": "
              "prístup zamietnutý");
    EXPECT_EQ(in("CZ", "Cannot save the profile \"a/b\": invalid name"),
              "Nelze uložit profil \"a/b\": neplatné jméno");
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

TEST(EngineMessages, NamesAndNumbersInsideAPhraseGoWhereTheLanguagePutsThem) {
    EXPECT_EQ(in("CZ", "The entry holds 5 bytes, not 8"), "Položka obsahuje 5 bajtů, nikoli 8");
    EXPECT_EQ(in("SK", "Cannot read the archive: The multi-part archive /a/b.zip is incomplete: "
                       "/a/b.z01 is not its last part"),
              "Archív nie je možné čítať: Archív /a/b.zip rozdelený na časti je neúplný: /a/b.z01 "
              "nie je jeho posledná časť");
    EXPECT_EQ(in("CZ", "Not a valid zip file! (a record lies outside part 3 of the set)"),
              "Soubor není platný archiv ZIP! (záznam leží mimo část 3 sady)");
    // A name inside a phrase never runs across a line break, and the phrase must end.
    EXPECT_EQ(in("CZ", "The entry holds 5\nbytes, not 8"), "The entry holds 5\nbytes, not 8");
    EXPECT_EQ(in("CZ", "The file /x is read-onlyish"), "The file /x is read-onlyish");
    EXPECT_EQ(in("CZ", "Unknown Compression Method 14"), "Neznámá metoda komprese 14");
    EXPECT_EQ(in("CZ", "Bad compressed data: invalid distance code"),
              "Poškozená komprimovaná data: neplatný kód vzdálenosti");
}
