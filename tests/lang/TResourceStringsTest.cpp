#include "lang/TResourceStrings.h"
#include "platform/CodePage.h"
#include "support/ScriptedUiHost.h"

#include <gtest/gtest.h>

using namespace kd;

namespace {

// Every id of the tables; the Slovak one lacks the last two of the 11000s.
const int allIds[] = {10007, 10008, 10009, 10017, 10042, 11001, 11002, 11003, 11004, 11005,
                      11006, 11009, 11012, 11013, 11014, 11015, 11016, 11018, 11019, 11020,
                      11021, 11023, 11024, 11025, 11026, 11027, 11028, 11029, 11030, 11031,
                      11032, 11033, 11034, 11035, 11036, 11037, 11038, 11039, 11040, 11041,
                      11042, 11043, 11044, 11045, 11046, 20000};

} // namespace

TEST(TResourceStrings, StartsWithTheCzechTexts) {
    EXPECT_EQ(LanguageCode, "CZ");
    EXPECT_EQ(ResourceStrings.GetText(10009), "Upozornění");
    EXPECT_EQ(ResourceStrings.GetText(20000), "Error");
}

TEST(TResourceStrings, EveryLanguageGivesATextForEveryId) {
    for (const char* code : {"CZ", "EN", "SK"}) {
        TResourceStrings table(code);
        for (int id : allIds)
            EXPECT_FALSE(table.GetText(id).empty()) << code << " " << id;
    }
}

TEST(TResourceStrings, TextsKeepTheirBlanksAndQuotes) {
    TResourceStrings cz("CZ");
    EXPECT_EQ(cz.GetText(11026), " v");
    EXPECT_EQ(cz.GetText(11012), "Nenalezeno označení \"");
    EXPECT_EQ(cz.GetText(11032), " nelze vytvořit, záloha nebude provedena ");
    EXPECT_EQ(cz.GetText(11045),
              "Adresář pro uložení logu (%s) neexistuje, opravte prosím nastavení");

    TResourceStrings en("EN");
    EXPECT_EQ(en.GetText(10009), "Warning");
    EXPECT_EQ(en.GetText(11032), " can not be created,  will not be backup !");
    EXPECT_EQ(en.GetText(11018), "Extracting the backup will delete all changes since the last "
                                 "backup. Would you like to continue ?");
    // Joined with 11012 and a name, the restore sentence has no stray quote.
    EXPECT_EQ(en.GetText(11012) + "x" + en.GetText(11014),
              "Profile you wanted to backup :x, not found");

    TResourceStrings sk("SK");
    EXPECT_EQ(sk.GetText(20000), "Chyba");
    EXPECT_EQ(sk.GetText(11024), "\",súbor sa nedá štandartne otvoriť, nebude zálohovaný");
}

TEST(TResourceStrings, CodesIgnoreCaseAndUnknownIdsGiveEmptyText) {
    TResourceStrings sk("sk");
    EXPECT_EQ(sk.GetText(20000), "Chyba");
    EXPECT_EQ(sk.GetText(12345), "");
}

TEST(TResourceStrings, TextsALanguageLacksOrLeavesEmptyComeFromCzech) {
    // The Slovak table has no 11045: the Czech sentence stands in for it.
    TResourceStrings sk("SK");
    EXPECT_EQ(sk.GetText(11045),
              "Adresář pro uložení logu (%s) neexistuje, opravte prosím nastavení");
    EXPECT_EQ(sk.GetText(11046), "stara verze?");

    // An id present with an empty text falls back too; the language's own texts win.
    TResourceStrings table("XX", [](const std::string& name) -> std::optional<std::string> {
        if (name == "def_kd_XX")
            return std::string("10009=Achtung\r\n11026=\r\n11045=");
        return TResourceStrings::embeddedResource(name);
    });
    EXPECT_EQ(table.GetText(10009), "Achtung");
    EXPECT_EQ(table.GetText(11026), " v");
    EXPECT_EQ(table.GetText(11045),
              "Adresář pro uložení logu (%s) neexistuje, opravte prosím nastavení");
    EXPECT_EQ(table.GetText(20000), "Error");
    EXPECT_EQ(table.GetText(12345), "");

    // Reloading Czech drops the other language's texts entirely.
    table.LoadLanguage("CZ");
    EXPECT_EQ(table.GetText(10009), "Upozornění");
}

TEST(TResourceStrings, UnknownLanguageIsReportedAndFallsBackToCzech) {
    test::ScriptedUiHost ui;
    TResourceStrings table("EN");
    table.LoadLanguage("DE", &ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Nelze načíst soubor jazyk.mutace def_kd_DE");
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(table.GetText(20000), "Error");
    EXPECT_EQ(table.GetText(10009), "Upozornění");
}

TEST(TResourceStrings, MissingEnglishIsReportedInEnglish) {
    test::ScriptedUiHost ui;
    TResourceStrings table("CZ", [](const std::string& name) -> std::optional<std::string> {
        if (name == "def_kd_EN")
            return std::nullopt;
        return TResourceStrings::embeddedResource(name);
    });
    table.LoadLanguage("EN", &ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Is not possible read language-file \"def_kd_EN\"");
    EXPECT_EQ(ui.shown[0].caption, "Information");
    EXPECT_EQ(table.GetText(10009), "Upozornění");
}

TEST(TResourceStrings, ReadsWindows1250Resources) {
    const std::string bytes = *fromUtf8("10009=Upozornění\r\n11026= v", CodePage::Cp1250);
    TResourceStrings table("XX", [&](const std::string&) { return std::optional(bytes); });
    EXPECT_EQ(table.GetText(10009), "Upozornění");
    EXPECT_EQ(table.GetText(11026), " v");
}
