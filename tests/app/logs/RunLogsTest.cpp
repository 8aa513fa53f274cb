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
    EXPECT_THROW(log.writeLine("x"), Exception);
}

} // namespace
