#include "app/core/settings/SettingsFile.h"
#include "platform/TextFile.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kd;

namespace kd {
// Readable failures: the lines the settings would be written as, plus the rest.
void PrintTo(const ProgramSettings& s, std::ostream* os) {
    for (const auto& line : SettingsFile::lines(s))
        *os << line << "; ";
    *os << "mode " << s.OverwriteMode << ", advert " << s.ShowAdvert << ", texts";
    for (const auto& text : s.Adverts)
        *os << " [" << text << "]";
}
} // namespace kd

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    ProgramSettings readText(const std::string& text, const AdvertTables& adverts = {}) {
        return SettingsFile::read(dir.write("Nastaven.txt", text), ui, adverts);
    }

    test::TempDir dir;
    test::ScriptedUiHost ui;
};

const char* const fullFile[] = {
    "AUTSPUST=AUTSKRYT",
    "ZALOHA=BEZDOT",
    "INFO_ZIP=NE",
    "INIT_DEST_DIR=/mnt/zalohy",
    "INIT_ROOT_DIR=/home",
    "TIMER=120000",
    "TEMPADRESAR=/var/tmp",
    "PREPISOVAT=1",
    "LEVEL=9",
    "HESLO=tajne",
    "HESLO_ADMIN=spravce",
    "LOG_ADRESAR=/var/log/kd",
    "FULLPATH=ANO",
    "LANGUAGE=SK",
    "DODRZ_CAS=ANO",
};

std::string joined(const char* const (&lines)[15], const std::string& end) {
    std::string text;
    for (const char* line : lines)
        text += line + end;
    return text;
}

ProgramSettings fullSettings() {
    ProgramSettings s;
    s.AutoStartMode = 1;
    s.NoQuestions = true;
    s.DetailedInfo = false;
    s.InitDestDir = "/mnt/zalohy";
    s.InitRootDir = "/home";
    s.TimerInterval = 120000;
    s.TempPath = "/var/tmp";
    s.OverwriteMode = 1;
    s.PackLevel = 9;
    s.ProfilePassword = "tajne";
    s.AdminPassword = "spravce";
    s.LogDirectory = "/var/log/kd";
    s.FullPath = true;
    s.LanguageCode = "SK";
    s.KeepTime = true;
    return s;
}

} // namespace

TEST_F(SettingsFileTest, EmptyFileGivesTheDefaults) {
    EXPECT_EQ(readText(""), ProgramSettings());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SettingsFileTest, CrLfAndLfFilesReadAlike) {
    EXPECT_EQ(readText(joined(fullFile, "\r\n")), fullSettings());
    EXPECT_EQ(readText(joined(fullFile, "\n")), fullSettings());
    // A stray CR before the line end never sticks to a value.
    EXPECT_TRUE(readText("FULLPATH=ANO\r\r\nINFO_ZIP=ANO\r").FullPath);
}

TEST_F(SettingsFileTest, ReadsAnOldWindows1250File) {
    const std::string path = dir.file("Nastaven.txt");
    const int status = test::runCommand(
        "python3 -c \"import sys; open(sys.argv[1], 'wb').write("
        "'INIT_DEST_DIR=D:\\\\Zálohy\\\\Účetnictví\\r\\nHESLO=žluťoučký kůň\\r\\nLANGUAGE=EN'"
        ".encode('cp1250'))\" " +
        path);
    ASSERT_EQ(status, 0);
    const ProgramSettings s = SettingsFile::read(path, ui);
    EXPECT_EQ(s.InitDestDir, "D:\\Zálohy\\Účetnictví");
    EXPECT_EQ(s.ProfilePassword, "žluťoučký kůň");
    EXPECT_EQ(s.LanguageCode, "EN");
}

TEST_F(SettingsFileTest, BadTimerIsReportedAndTheLinesAfterItStillCount) {
    const ProgramSettings s =
        readText("TIMER=deset\r\nHESLO=a\r\nHESLO_ADMIN=b\r\nLANGUAGE=EN\r\n");
    EXPECT_EQ(s.TimerInterval, 600000);
    EXPECT_EQ(s.ProfilePassword, "a");
    EXPECT_EQ(s.AdminPassword, "b");
    EXPECT_EQ(s.LanguageCode, "EN");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("deset"), std::string::npos);
}

TEST_F(SettingsFileTest, OutOfRangeValuesKeepTheirDefaults) {
    struct Case {
        const char* text;
        int timer, mode, level;
    };
    const Case cases[] = {
        {"TIMER=0\nPREPISOVAT=5\nLEVEL=10", 600000, 3, 7},
        {"TIMER=-5\nPREPISOVAT=-1\nLEVEL=-1", 600000, 3, 7},
        {"TIMER=99999999999\nLEVEL=12 ", 600000, 3, 7},
        {"TIMER= 60000\nPREPISOVAT=4\nLEVEL=0", 60000, 4, 0},
        // Not a number at all: the overwrite mode becomes 2, the level 7.
        {"PREPISOVAT=x\nLEVEL=3\nLEVEL=", 600000, 2, 7},
    };
    for (const Case& c : cases) {
        const ProgramSettings s = readText(c.text);
        EXPECT_EQ(s.TimerInterval, c.timer) << c.text;
        EXPECT_EQ(s.OverwriteMode, c.mode) << c.text;
        EXPECT_EQ(s.PackLevel, c.level) << c.text;
    }
}

TEST_F(SettingsFileTest, KeysAndValuesMatchExactly) {
    ProgramSettings expected;
    expected.DetailedInfo = false; // only "ANO" turns it on
    EXPECT_EQ(readText("autspust=AUTKONEC\n ZALOHA=BEZDOT\nINFO_ZIP=ano\n"), expected);
    EXPECT_EQ(readText("AUTSPUST=autkonec").AutoStartMode, 2);
    EXPECT_EQ(readText("AUTSPUST=AUTKONEC").AutoStartMode, 0);
    EXPECT_EQ(readText("HESLO=a=b ").ProfilePassword, "a=b ");
    EXPECT_EQ(readText("LEVEL=3\nLEVEL=5").PackLevel, 5);
    EXPECT_EQ(readText("LANGUAGE=DE").LanguageCode, "DE");
    // "=" alone is a line with an empty key; it matches nothing.
    EXPECT_EQ(readText("=\nHESLO\n\n"), ProgramSettings());
}

TEST_F(SettingsFileTest, AdvertTextsFollowTheLanguage) {
    AdvertTables tables;
    tables.CZ = {"c1", "c2", "c3", "c4", "c5"};
    tables.EN = {"e1", "e2", "e3", "e4", "e5"};
    tables.SK = {"s1", "s2", "s3", "s4", "s5"};
    EXPECT_EQ(readText("", tables).Adverts, tables.CZ);
    EXPECT_EQ(readText("PLAC_REKLAMA=vlastni\nLANGUAGE=EN", tables).Adverts, tables.EN);
    const ProgramSettings s = readText("LANGUAGE=SK\nPLAC_REKLAMA=vlastni", tables);
    EXPECT_EQ(s.Adverts[3], "s4");
    EXPECT_EQ(s.Adverts[4], "vlastni");
    EXPECT_TRUE(s.ShowAdvert);
    EXPECT_FALSE(readText("REKLAMA=NE").ShowAdvert);
    EXPECT_TRUE(readText("REKLAMA=ne").ShowAdvert);
}

TEST_F(SettingsFileTest, MissingFileIsReportedAndDefaultsStand) {
    const ProgramSettings s = SettingsFile::read(dir.file("Nastaven.txt"), ui);
    EXPECT_EQ(s, ProgramSettings());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Error);
    EXPECT_NE(ui.shown[0].text.find("Nastaven.txt"), std::string::npos);
}

TEST_F(SettingsFileTest, WritesFifteenLinesThatReadBackTheSame) {
    const std::string path = dir.file("Nastaven.txt");
    ProgramSettings s = fullSettings();
    s.InitRootDir = "/home/Účty a=b";
    SettingsFile::write(path, s);
    EXPECT_EQ(SettingsFile::read(path, ui), s);

    const auto lines = readTextLines(path);
    ASSERT_EQ(lines.size(), 15u);
    const char* const keys[] = {"AUTSPUST",      "ZALOHA",   "INFO_ZIP",    "INIT_DEST_DIR",
                                "INIT_ROOT_DIR", "TIMER",    "TEMPADRESAR", "PREPISOVAT",
                                "LEVEL",         "HESLO",    "HESLO_ADMIN", "LOG_ADRESAR",
                                "FULLPATH",      "LANGUAGE", "DODRZ_CAS"};
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].substr(0, lines[i].find('=')), keys[i]);

    // Passwords are written trimmed; the hand-added advert keys are dropped.
    s = ProgramSettings();
    s.ProfilePassword = "  heslo ";
    s.ShowAdvert = false;
    SettingsFile::write(path, s);
    s.ProfilePassword = "heslo";
    s.ShowAdvert = true;
    EXPECT_EQ(SettingsFile::read(path, ui), s);
    EXPECT_TRUE(ui.shown.empty());
}
