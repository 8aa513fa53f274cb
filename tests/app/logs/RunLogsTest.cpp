#include "app/core/logs/RunLogs.h"
#include "lang/TResourceStrings.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kd;
using kd::test::TempDir;

namespace {

TDateTime moment() {
    return encodeDateTime({2024, 3, 7, 9, 5, 0, 0});
}

TEST(RunLogLines, StoredFileLineKeepsItsColumns) {
    const std::string line = run_log::storedFileLine("/data/a.txt", 1234, 567, moment());
    EXPECT_EQ(line, "/data/a.txt" + std::string(29, ' ') + std::string(8, ' ') + "      1234" +
                        "   " + "       567" + "  " + "  7.3.2024" + "  " + "   9:05:00");
}

TEST(RunLogLines, LongNameIsWrittenWholeThenTheBlanks) {
    const std::string name(45, 'n');
    EXPECT_EQ(run_log::storedFileLine(name, 1, 1, moment()).substr(0, 53), name + "        ");
}

TEST(RunLogLines, PaddingCountsCharactersNotBytes) {
    EXPECT_EQ(run_log::padRight("žluť", 6), "žluť  ");
}

TEST(RunLogLines, SizesOverFourGigabytesDoNotWrap) {
    const std::string line = run_log::storedFileLine("f", 5'000'000'000ull, 4'294'967'297ull, 0);
    EXPECT_NE(line.find("5000000000   4294967297"), std::string::npos);
}

TEST(RunLogLines, HeaderAndMessagesUseTheMessageTable) {
    ResourceStrings.LoadLanguage("CZ");
    EXPECT_EQ(run_log::headerLine("Mzdy", moment()),
              "Zálohování profilu \"Mzdy\" 7.3.2024 v 9:05:00");
    EXPECT_EQ(run_log::fileNotOpenedLine("/x"),
              "Soubor \"/x\",soubor nelze standartně otevřít, nebude zálohován");
    EXPECT_EQ(run_log::extractedFileLine("a"),
              "a" + std::string(39 + 7, ' ') + "přepisován zálohou");
    EXPECT_EQ(run_log::ruleLine(), std::string(36, '-'));
}

TEST(RunLogFile, AppendsOrStartsAnewWithCrLf) {
    TempDir dir;
    const std::string path = dir.write("log.txt", "old\r\n");
    RunLogFile log;
    log.open(path, true);
    log.writeLine("one");
    log.close();
    EXPECT_EQ(readWholeFile(path), "old\r\none\r\n");
    log.open(path, false);
    log.writeLine("two");
    EXPECT_TRUE(log.close());
    EXPECT_EQ(readWholeFile(path), "two\r\n");
    log.writeLine("ignored while closed");
    EXPECT_EQ(readWholeFile(path), "two\r\n");
}

TEST(RunLogFile, MissingDirectoryAndFullDiskAreErrors) {
    RunLogFile log;
    EXPECT_THROW(log.open("/nonexistent-dir/Protokol.txt", true), Exception);
    log.open("/dev/full", true);
    EXPECT_THROW(log.writeLine("the first line goes at once"), Exception);
    log.writeLine("later ones are gathered");
    EXPECT_THROW(log.flush(), Exception);
    log.writeLine("and written on close");
    EXPECT_FALSE(log.close());
}

TEST(RunLogFile, LinesAreWrittenInBlocksAndAllByCloseOrFlush) {
    TempDir dir;
    const std::string path = dir.file("log.txt");
    RunLogFile log;
    log.open(path, false);
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        const std::string line = "line " + std::to_string(i);
        log.writeLine(line);
        expected += line + "\r\n";
    }
    const std::string early = readWholeFile(path);
    EXPECT_GT(early.size(), 0u); // blocks went as they filled
    EXPECT_EQ(early, expected.substr(0, early.size()));
    log.flush();
    EXPECT_EQ(readWholeFile(path), expected);
    log.writeLine("last");
    {
        RunLogs logs;
        logs.ProfileLogFile = std::move(log); // the moved log keeps its lines
    }                                         // and writes them when it goes
    EXPECT_EQ(readWholeFile(path), expected + "last\r\n");
}

} // namespace
