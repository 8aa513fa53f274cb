#include "platform/IniFile.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(IniFileTest, ReadsByTheOriginalRules) {
    test::TempDir dir;
    const IniFile ini(dir.write("a.ini", "; [Messages]\r\n"
                                         "[Translations]\r\n"
                                         "  Form.Label1.Caption =  Hello, world  \r\n"
                                         "form.label1.caption=second\r\n"
                                         "Form.Items=\"  a,,b  \"\r\n"
                                         "Form.Semi=x ; not a comment\r\n"
                                         "Form.Empty=\r\n"
                                         "Form.Quote=\"\r\n"
                                         "no pair here\r\n"
                                         "; Form.Commented=1\r\n"
                                         "[translations]\r\n"
                                         "Form.Later=ignored\r\n"));
    EXPECT_FALSE(ini.sectionExists("Messages"));
    EXPECT_TRUE(ini.sectionExists("TRANSLATIONS"));
    EXPECT_EQ(ini.readString("translations", "FORM.LABEL1.CAPTION"), "Hello, world");
    EXPECT_EQ(ini.readString("Translations", "Form.Items"), "  a,,b  ");
    EXPECT_EQ(ini.readString("Translations", "Form.Semi"), "x ; not a comment");
    EXPECT_EQ(ini.readString("Translations", "Form.Empty", "default"), "");
    EXPECT_EQ(ini.readString("Translations", "Form.Quote"), "\"");
    EXPECT_EQ(ini.readString("Translations", "Form.Commented"), std::nullopt);
    EXPECT_EQ(ini.readString("Translations", "Form.Later", "default"), "default");
    EXPECT_EQ(ini.keys("Translations"),
              (std::vector<std::string>{"Form.Label1.Caption", "Form.Items", "Form.Semi",
                                        "Form.Empty", "Form.Quote"}));
}

TEST(IniFileTest, ReadsWindows1250AndUtf8WithBom) {
    test::TempDir dir;
    EXPECT_EQ(
        IniFile(dir.write("cp.ini", "[S]\nK=\x8Eluou\xE8k\xFD k\xF9\xF2\n")).readString("S", "K"),
        "Žluoučký kůň");
    EXPECT_EQ(IniFile(dir.write("bom.ini", "\xEF\xBB\xBF[S]\nK=kůň\n")).readString("S", "K"),
              "kůň");
    EXPECT_FALSE(IniFile(dir.file("missing.ini")).sectionExists("S"));
}

TEST(IniFileTest, WritesInPlaceAndAtTheEndOfTheSectionAndReadsItBack) {
    test::TempDir dir;
    const auto path = dir.write("w.ini", "; header\n[A]\nx=1\n\n[B]\ny=2\n");
    IniFile ini(path);
    ini.writeString("a", "X", "one, two");
    ini.writeString("A", "z", "  padded  ");
    ini.writeString("A", "q", "\"quoted\"");
    ini.writeString("C", "back\\slash", "c:\\dir;x");
    ini.writeString("B", "empty", "");
    ini.updateFile();
    EXPECT_EQ(readWholeFile(path), "; header\r\n[A]\r\nX=one, two\r\nz=\"  padded  \"\r\n"
                                   "q=\"\"quoted\"\"\r\n\r\n[B]\r\ny=2\r\nempty=\r\n"
                                   "[C]\r\nback\\slash=c:\\dir;x\r\n");
    const IniFile again(path);
    EXPECT_EQ(again.readString("A", "x"), "one, two");
    EXPECT_EQ(again.readString("A", "z"), "  padded  ");
    EXPECT_EQ(again.readString("A", "q"), "\"quoted\"");
    EXPECT_EQ(again.readString("C", "BACK\\SLASH"), "c:\\dir;x");
    EXPECT_EQ(again.readString("B", "empty"), "");
}

TEST(IniFileTest, DeletesAndRefusesWhatCannotBeStored) {
    test::TempDir dir;
    const auto path = dir.write("d.ini", "[A]\nx=1\nX=2\ny=3\n[B]\nz=4\n");
    IniFile ini(path);
    ini.deleteKey("a", "x");
    EXPECT_EQ(ini.keys("A"), std::vector<std::string>{"y"});
    ini.eraseSection("b");
    EXPECT_FALSE(ini.sectionExists("B"));
    EXPECT_THROW(ini.writeString("A", "k", "two\nlines"), Exception);
    EXPECT_THROW(ini.writeString("A", "k=v", "x"), Exception);
    EXPECT_THROW(ini.writeString("A]", "k", "x"), Exception);
    ini.updateFile();
    EXPECT_EQ(readWholeFile(path), "[A]\r\ny=3\r\n");

    const IniFile blocked(dir.file("no/such/dir/x.ini"));
    EXPECT_THROW(blocked.updateFile(), Exception);
}
