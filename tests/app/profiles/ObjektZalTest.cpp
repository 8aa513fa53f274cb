#include "app/core/profiles/ObjektZal.h"
#include "TestPaths.h"
#include "app/core/profiles/ProfilePassword.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kd;
using kd::test::TempDir;

namespace {

const std::string kDataDir = KORDYNE_TEST_DATA_DIR "/app";

TObjektZal fullRecord() {
    TObjektZal r;
    r.Name = "Účetnictví";
    r.Description = "Měsíční záloha";
    r.TargetDir = "/mnt/záloha/";
    r.SourceDir = "/home/účty/";
    r.Masks = "*.doc;*.xls";
    r.ExcludedMasks = "*.tmp";
    r.PeriodValue = 200;
    r.VersionsKept = 7;
    r.BackupKind = 2;
    r.PeriodKind = 3;
    r.FirstPartSize = 1457664;
    r.NextPartSize = 2147483647;
    r.AgeDays = 32767;
    r.WipeDisk = true;
    r.Recurse = true;
    r.RunAfterStart = true;
    r.Paused = true;
    r.SelfExtract = true;
    r.ArchiveBitOnly = true;
    r.ResetArchiveBit = true;
    r.NewArchive = true;
    r.SplitMode = 2;
    r.StartTime = encodeTime(13, 45, 30);
    r.Password = encodeStoredPassword("Tajne heslo~1");
    r.ExcludedDirs = "/home/účty/tmp;/home/účty/cache";
    r.MailTo = "ucetni@example.cz";
    r.NetUser = "zaloha";
    r.NetPassword = "síť";
    return r;
}

// A profile file of the given lines in a fresh directory.
struct ProfileDir {
    TempDir dir;
    TObjektZal load(const std::vector<std::string>& lines, const std::string& name = "p") {
        std::string bytes;
        for (const auto& line : lines)
            bytes += line + "\r\n";
        dir.write(name + ".lus", bytes);
        TObjektZal r;
        LoadProfile(r, dir.path(), name);
        return r;
    }
};

} // namespace

TEST(ObjektZal, EveryFieldSurvivesSaveAndLoad) {
    TempDir dir;
    const TObjektZal saved = fullRecord();
    SaveProfile(saved, dir.path());
    TObjektZal loaded;
    LoadProfile(loaded, dir.path(), saved.Name);
    EXPECT_EQ(loaded, saved);

    const std::string bytes = readWholeFile(dir.file("Účetnictví.lus"));
    EXPECT_NE(bytes.find("Měsíční záloha\r\n"), std::string::npos); // UTF-8, CR LF
    const auto lines = splitLines(bytes);
    ASSERT_EQ(lines.size(), 27u);
    EXPECT_EQ(lines[6], "VEL_DISK");
    EXPECT_EQ(lines[9], "Ano");
    EXPECT_EQ(lines[11], "2"); // day of month is written as the digit 2
    EXPECT_EQ(lines[12], "13:45:30");
}

TEST(ObjektZal, SplitModesAndPeriodKindsUseTheirFileCodes) {
    TempDir dir;
    const std::pair<int, const char*> splits[] = {{0, "NE"}, {1, "BLOK"}, {2, "VEL_DISK"}};
    const std::pair<int, const char*> kinds[] = {{0, "3"}, {1, "0"}, {2, "1"}, {3, "2"}, {4, "4"}};
    for (const auto& [mode, word] : splits) {
        for (const auto& [kind, digit] : kinds) {
            TObjektZal r;
            r.Name = "codes";
            r.SplitMode = static_cast<std::uint8_t>(mode);
            r.PeriodKind = static_cast<std::uint8_t>(kind);
            SaveProfile(r, dir.path());
            const auto lines = readTextLines(dir.file("codes.lus"));
            EXPECT_EQ(lines[6], word);
            EXPECT_EQ(lines[11], digit);
            TObjektZal back;
            LoadProfile(back, dir.path(), "codes");
            EXPECT_EQ(back, r);
        }
    }
}

TEST(ObjektZal, LoadsAWindows1250ProfileOfTheOriginalProgram) {
    TObjektZal r;
    LoadProfile(r, kDataDir, "original-cp1250");
    EXPECT_EQ(r.Name, "original-cp1250");
    EXPECT_EQ(r.Description, "Záloha účetnictví");
    EXPECT_EQ(r.SourceDir, "C:\\Účetnictví/");
    EXPECT_EQ(r.TargetDir, "\\\\server\\zálohy\\/");
    EXPECT_EQ(r.Masks, "*.doc;*.xls");
    EXPECT_EQ(r.PeriodValue, 3);
    EXPECT_EQ(r.VersionsKept, 5);
    EXPECT_EQ(r.SplitMode, 1);
    EXPECT_EQ(r.FirstPartSize, 1457664);
    EXPECT_EQ(r.NextPartSize, 1457664);
    EXPECT_FALSE(r.WipeDisk);
    EXPECT_TRUE(r.Recurse);
    EXPECT_EQ(r.PeriodKind, 2);
    EXPECT_DOUBLE_EQ(r.StartTime, encodeTime(9, 30, 0));
    EXPECT_FALSE(r.RunAfterStart);
    EXPECT_EQ(decodeStoredPassword(r.Password), "Heslo 42");
    EXPECT_TRUE(r.Paused);
    EXPECT_EQ(r.ExcludedMasks, "*.tmp;~*.*");
    EXPECT_EQ(r.BackupKind, 2);
    EXPECT_EQ(r.AgeDays, 14);
    EXPECT_TRUE(r.SelfExtract);
    EXPECT_FALSE(r.ArchiveBitOnly);
    EXPECT_TRUE(r.ResetArchiveBit);
    EXPECT_EQ(r.ExcludedDirs, "C:\\Účetnictví\\Temp");
    EXPECT_FALSE(r.NewArchive);
    EXPECT_EQ(r.MailTo, "účetní@firma.cz");
    EXPECT_EQ(r.NetUser, "zaloha");
    EXPECT_EQ(r.NetPassword, "tajné");

    // Saved again (now UTF-8) it loads the same, password included.
    TempDir dir;
    SaveProfile(r, dir.path());
    TObjektZal again;
    LoadProfile(again, dir.path(), r.Name);
    EXPECT_EQ(again, r);
}

TEST(ObjektZal, OldWordsAndLetterCases) {
    TObjektZal r;
    LoadProfile(r, kDataDir, "old-ascii");
    EXPECT_EQ(r.SplitMode, 0);  // "ne"
    EXPECT_TRUE(r.WipeDisk);    // "ANO"
    EXPECT_TRUE(r.Recurse);     // "ano"
    EXPECT_EQ(r.PeriodKind, 1); // " 0 " trimmed
    EXPECT_FALSE(r.Paused);     // "yes" is not a word of the file
    EXPECT_EQ(r.BackupKind, 1); // the old yes/no word "ANO"
    EXPECT_DOUBLE_EQ(r.StartTime, encodeTime(23, 59, 0));
    // The stored bytes C2 84 make the file valid UTF-8; the password still reads right.
    EXPECT_EQ(decodeStoredPassword(r.Password), "aB");

    ProfileDir d;
    std::vector<std::string> lines(27);
    lines[17] = "ne";
    EXPECT_EQ(d.load(lines).BackupKind, 0);
    lines[17] = "x";
    EXPECT_EQ(d.load(lines).BackupKind, 0);
    for (const char* word : {"Yes", "1", "", "Ano "})
        EXPECT_FALSE(d.load({"", "", "", "", "", "", "", "", "", word}).WipeDisk) << word;
}

TEST(ObjektZal, OutOfRangeOrUnreadableNumbersKeepTheirDefaults) {
    ProfileDir d;
    std::vector<std::string> lines(27);
    lines[4] = "256";        // period value
    lines[5] = "300";        // versions kept
    lines[7] = "-1";         // first part size
    lines[8] = "2147483648"; // next part size
    lines[17] = "3";         // backup kind
    lines[18] = "40000";     // age days
    TObjektZal r = d.load(lines);
    EXPECT_EQ(r.PeriodValue, 0);
    EXPECT_EQ(r.VersionsKept, 0);
    EXPECT_EQ(r.FirstPartSize, 0);
    EXPECT_EQ(r.NextPartSize, 0);
    EXPECT_EQ(r.BackupKind, 0);
    EXPECT_EQ(r.AgeDays, 0);

    lines[4] = " 255 ";
    lines[5] = "12abc";
    lines[18] = "+7";
    r = d.load(lines);
    EXPECT_EQ(r.PeriodValue, 255);
    EXPECT_EQ(r.VersionsKept, 0);
    EXPECT_EQ(r.AgeDays, 7);
}

TEST(ObjektZal, EmptyOrInvalidStartTimeLoadsAsMidnight) {
    ProfileDir d;
    for (const char* text : {"", "25:00:00", "9.30", "abc", "12:60"}) {
        std::vector<std::string> lines(27, "Ano");
        lines[12] = text;
        const TObjektZal r = d.load(lines);
        EXPECT_EQ(r.StartTime, 0.0) << text;
        EXPECT_TRUE(r.NewArchive) << "the lines after the time are read too";
    }
    std::vector<std::string> lines(27);
    lines[12] = " 7:05 PM ";
    EXPECT_DOUBLE_EQ(d.load(lines).StartTime, encodeTime(19, 5, 0));
}

TEST(ObjektZal, ShortFilesLoadWithEmptyValues) {
    ProfileDir d;
    TObjektZal r = d.load({"Jen popis"});
    EXPECT_EQ(r.Description, "Jen popis");
    EXPECT_EQ(r.SourceDir, ""); // no "/" is added to an empty directory
    EXPECT_EQ(r.SplitMode, 1);  // an empty split line reads as split by size
    EXPECT_EQ(r.PeriodKind, 4); // an empty period line reads as minutes
    EXPECT_EQ(r.StartTime, 0.0);
    EXPECT_FALSE(r.Recurse);
    EXPECT_EQ(r.NetPassword, "");

    r = d.load({}, "empty");
    EXPECT_EQ(r.Name, "empty");
}

TEST(ObjektZal, AFileThatCannotBeReadRaisesAndLeavesTheRecord) {
    TempDir dir;
    TObjektZal r = fullRecord();
    try {
        LoadProfile(r, dir.path(), "missing");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("\"missing\""), std::string::npos) << e.what();
    }
    EXPECT_EQ(r, fullRecord());

    std::filesystem::create_directory(dir.file("folder.lus"));
    EXPECT_THROW(LoadProfile(r, dir.path(), "folder"), Exception);
}

TEST(ObjektZal, SavingNeedsANameThatStaysInTheDirectory) {
    TempDir dir;
    TObjektZal r;
    EXPECT_THROW(SaveProfile(r, dir.path()), Exception); // would be ".lus"
    r.Name = "../escape";
    EXPECT_THROW(SaveProfile(r, dir.path()), Exception);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ObjektZal, LineBreaksInTextsCannotShiftTheLines) {
    TempDir dir;
    TObjektZal r;
    r.Name = "lines";
    r.Description = "one\r\ntwo";
    r.Masks = "*.txt\n*.doc";
    SaveProfile(r, dir.path());
    EXPECT_EQ(readTextLines(dir.file("lines.lus")).size(), 27u);
    TObjektZal back;
    LoadProfile(back, dir.path(), "lines");
    EXPECT_EQ(back.Description, "one  two");
    EXPECT_EQ(back.Masks, "*.txt *.doc");
}

namespace {

struct RoundTripCase {
    const char* what;
    std::vector<std::string> lines; // the profile file as found (CR LF added)
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
    *out << c.what;
}

class ObjektZalRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

std::vector<std::string> linesWith(std::size_t index, const std::string& line) {
    std::vector<std::string> lines(27);
    lines[index] = line;
    return lines;
}

} // namespace

// A profile read and written again reads back with every value it had.
TEST_P(ObjektZalRoundTrip, ReadingThenWritingKeepsEveryValue) {
    ProfileDir dir;
    const TObjektZal first = dir.load(GetParam().lines);
    SaveProfile(first, dir.dir.path());
    TObjektZal second;
    LoadProfile(second, dir.dir.path(), "p");
    EXPECT_EQ(second, first);
    EXPECT_EQ(decodeStoredPassword(second.Password), decodeStoredPassword(first.Password));
}

INSTANTIATE_TEST_SUITE_P(
    ObjektZal, ObjektZalRoundTrip,
    ::testing::Values(
        // "ČĄ" in Windows-1250: 0xA5 is odd, yet the UTF-8 form C4 8C C4 84 written for it
        // has only even bytes, like the raw line of an original file.
        RoundTripCase{"Cp1250PasswordWithAnOddByte",
                      [] {
                          auto lines = linesWith(14, "\xC8\xA5");
                          lines[0] = "\x8A\xEDp"; // Windows-1250, not UTF-8
                          return lines;
                      }()},
        // The first mark is the file's; the second starts the description.
        RoundTripCase{"DescriptionStartingWithAByteOrderMark",
                      linesWith(0, "\xEF\xBB\xBF\xEF\xBB\xBFpopis")},
        RoundTripCase{"StartTimeWithMilliseconds", linesWith(12, "7:08:09.250")},
        RoundTripCase{"StartTimeWithOneMillisecond", linesWith(12, "23:59:59,001")}),
    [](const auto& testInfo) { return std::string(testInfo.param.what); });
