#include "lang/TResourceStrings.h"
#include "lang/EngineMessages.h"
#include "platform/CodePage.h"
#include "support/ScriptedUiHost.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>

using namespace kd;

namespace {

// Every id the program reads from the tables.
const int allIds[] = {10007, 10008, 10009, 10017, 10042, 11001, 11002, 11003, 11004, 11005,
                      11006, 11009, 11012, 11013, 11014, 11015, 11016, 11018, 11019, 11020,
                      11021, 11023, 11024, 11025, 11026, 11027, 11028, 11029, 11030, 11031,
                      11032, 11033, 11034, 11035, 11036, 11037, 11038, 11039, 11040, 11041,
                      11042, 11043, 11044, 11045, 11046, 20000};

// The table compiled in for the code, by id: its own texts, without the Czech ones
// that stand in for missing texts.
std::map<int, std::string> ownTexts(const std::string& code) {
    const std::string data = TResourceStrings::embeddedResource("def_kd_" + code).value();
    std::map<int, std::string> texts;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find("\r\n", start);
        if (end == std::string::npos)
            end = data.size();
        const std::string line = data.substr(start, end - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && !line.substr(eq + 1).empty())
            texts[std::stoi(line.substr(0, eq))] = line.substr(eq + 1);
        start = end + 2;
    }
    return texts;
}

} // namespace

TEST(TResourceStrings, StartsWithTheCzechTexts) {
    EXPECT_EQ(LanguageCode, "CZ");
    EXPECT_EQ(ResourceStrings.GetText(10009), "Upozornění");
    EXPECT_EQ(ResourceStrings.GetText(20000), "Chyba");
}

TEST(TResourceStrings, EveryLanguageHasItsOwnTextForEveryIdAndOnlyItsOwnLetters) {
    const auto czech = ownTexts("CZ");
    for (int id : allIds)
        EXPECT_TRUE(czech.count(id)) << id;
    for (const auto& [id, phrase] : engineMessagePhrases())
        EXPECT_TRUE(czech.count(id)) << id << " " << phrase;

    const auto english = ownTexts("EN");
    const auto slovak = ownTexts("SK");
    for (const auto& [id, text] : czech) {
        EXPECT_TRUE(english.count(id)) << "EN lacks " << id << "=" << text;
        EXPECT_TRUE(slovak.count(id)) << "SK lacks " << id << "=" << text;
    }
    EXPECT_EQ(english.size(), czech.size());
    EXPECT_EQ(slovak.size(), czech.size());
    // English is plain ASCII; Slovak has none of the letters only Czech writes.
    for (const auto& [id, text] : english)
        EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            << id << "=" << text;
    for (const auto& [id, text] : slovak)
        for (const char* czechOnly : {"ě", "ř", "ů", "Ě", "Ř", "Ů"})
            EXPECT_EQ(text.find(czechOnly), std::string::npos) << id << "=" << text;
    // The English table gives the engine's phrases in its own words, and every table
    // has a place for each name a phrase holds.
    const auto slots = [](std::string_view text) {
        std::size_t count = 0;
        for (std::size_t at = text.find("%s"); at != std::string_view::npos;
             at = text.find("%s", at + 2))
            ++count;
        return count;
    };
    for (const auto& [id, phrase] : engineMessagePhrases()) {
        EXPECT_EQ(english.at(id), phrase) << id;
        EXPECT_EQ(slots(czech.at(id)), slots(phrase)) << id;
        EXPECT_EQ(slots(slovak.at(id)), slots(phrase)) << id;
    }
}

TEST(TResourceStrings, TextsKeepTheirBlanksAndQuotes) {
    TResourceStrings cz("CZ");
    EXPECT_EQ(cz.GetText(11026), " v");
    EXPECT_EQ(cz.GetText(11012), "Nenalezeno označení \"");
    EXPECT_EQ(cz.GetText(11032), " nelze vytvořit, záloha nebude provedena ");
    EXPECT_EQ(cz.GetText(11045),
              "Adresář pro uložení logu (%s) neexistuje, opravte prosím nastavení");

    // Joined with a name, each language's sentences read whole.
    TResourceStrings en("EN");
    EXPECT_EQ(en.GetText(10009), "Warning");
    EXPECT_EQ(en.GetText(11012) + "Daily" + en.GetText(11014),
              "Profile \"Daily\" that you want to restore was not found");
    EXPECT_EQ(en.GetText(11025) + "Daily\" 7.3.2024" + en.GetText(11026) + " 9:05:00",
              "Backup of profile \"Daily\" 7.3.2024 at 9:05:00");

    TResourceStrings sk("SK");
    EXPECT_EQ(sk.GetText(20000), "Chyba");
    EXPECT_EQ(sk.GetText(10017), "Otázka");
    EXPECT_EQ(sk.GetText(11021) + "Daily\"", "Naozaj chcete zmazať nastavenie \"Daily\"");
    EXPECT_EQ(sk.GetText(11045),
              "Adresár na uloženie logu (%s) neexistuje, opravte prosím nastavenia");
}

TEST(TResourceStrings, CodesIgnoreCaseAndUnknownIdsGiveEmptyText) {
    TResourceStrings sk("sk");
    EXPECT_EQ(sk.GetText(20000), "Chyba");
    EXPECT_EQ(sk.GetText(12345), "");
}

TEST(TResourceStrings, TextsALanguageLacksOrLeavesEmptyComeFromCzech) {
    // An id missing or present with an empty text comes from Czech; the language's own
    // texts win.
    TResourceStrings table("XX", [](const std::string& name) -> std::optional<std::string> {
        if (name == "def_kd_XX")
            return std::string("10009=Achtung\r\n11026=\r\n11045=");
        return TResourceStrings::embeddedResource(name);
    });
    EXPECT_EQ(table.GetText(10009), "Achtung");
    EXPECT_EQ(table.GetText(11026), " v");
    EXPECT_EQ(table.GetText(11045),
              "Adresář pro uložení logu (%s) neexistuje, opravte prosím nastavení");
    EXPECT_EQ(table.GetText(20000), "Chyba");
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
    EXPECT_EQ(table.GetText(20000), "Chyba");
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
