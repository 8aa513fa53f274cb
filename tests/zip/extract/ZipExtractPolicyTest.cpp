// Which entries are extracted, where, over which existing files, with which password.
#include <gtest/gtest.h>

#include <filesystem>

#include "zip/format/Crc32.h"
#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

using test::PyEntry;

class ZipExtractPolicy : public test::ExtractTest {
protected:
    std::string existing(const std::string& name, const std::string& date) {
        const std::string path = t_.write("dest/" + name, "old");
        test::mustRun("touch -d '" + date + "' '" + path + "'");
        return path;
    }
};

} // namespace

TEST_F(ZipExtractPolicy, OverwriteModesCompareTheEntryDateWithTheFile) {
    // The entry is dated 2020-01-01 12:00:00.
    struct Case {
        TUZOverwriteMode mode;
        const char* fileDate;
        bool replaced;
    };
    const Case cases[] = {
        {TUZOverwriteMode::Always, "2021-01-01", true},
        {TUZOverwriteMode::Never, "2019-01-01", false},
        {TUZOverwriteMode::ifNewer, "2019-01-01", true},
        {TUZOverwriteMode::ifNewer, "2021-01-01", false},
        {TUZOverwriteMode::ifNewer, "2020-01-01 12:00:00", false},
        {TUZOverwriteMode::ifOlder, "2021-01-01", true},
        {TUZOverwriteMode::ifOlder, "2019-01-01", false},
    };
    makeZip({{"f.txt", "new"}});
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.mode)) + " " + c.fileDate);
        const std::string path = existing("f.txt", c.fileDate);
        zip_.SetOverwriteMode(c.mode);
        test::ExtractEvents events(zip_);
        EXPECT_EQ(zip_.ExtractArchive(), c.replaced ? 1 : 0);
        EXPECT_EQ(test::readFile(path), c.replaced ? "new" : "old");
        if (!c.replaced) {
            EXPECT_EQ(events.Main()[2], "skip 1 0 f.txt");
        }
        EXPECT_TRUE(zip_.ExtractFailures().empty());
    }
}

TEST_F(ZipExtractPolicy, PromptAsksTheHandlerOrTheUser) {
    makeZip({{"f.txt", "new"}});
    zip_.SetOverwriteMode(TUZOverwriteMode::Prompt);
    const std::string path = existing("f.txt", "2019-01-01");
    ui_.answerNext(MsgAnswer::No);
    EXPECT_EQ(zip_.ExtractArchive(), 0);
    ui_.answerNext(MsgAnswer::Yes);
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(test::readFile(path), "new");
    ASSERT_EQ(ui_.shown.size(), 2u);
    EXPECT_EQ(ui_.shown[0].text, "Replace existing file f.txt?");
    EXPECT_EQ(ui_.shown[0].caption, "File Exists Alert");

    // A handler may send the entry elsewhere.
    zip_.OnPromptForOverwrite = [&](TZipReader&, bool& overwrite, int, std::string& name) {
        overwrite = true;
        name = t_.file("elsewhere/g.txt");
    };
    test::mustRun("echo old > " + path);
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(test::readFile(path), "old\n");
    EXPECT_EQ(test::readFile(t_.file("elsewhere/g.txt")), "new");
    EXPECT_EQ(ui_.shown.size(), 2u);
}

TEST_F(ZipExtractPolicy, ReadOnlyFilesAreReplacedOnlyWhenAsked) {
    makeZip({{"f.txt", "new"}});
    const std::string path = existing("f.txt", "2019-01-01");
    fs::permissions(path, fs::perms::owner_read);
    test::ExtractEvents events(zip_);
    EXPECT_EQ(zip_.ExtractArchive(), 0);
    EXPECT_EQ(events.Main()[2], "skip 3 0 f.txt");
    EXPECT_EQ(test::readFile(path), "old");
    zip_.SetReplaceReadOnly(true);
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(test::readFile(path), "new");
}

TEST_F(ZipExtractPolicy, MasksSelectionRootDirAndFlatExtraction) {
    makeZip({{"Data/sub/Read.TXT", "r"}, {"Data/b.bin", "b"}, {"Data/Makefile", "m"}});
    zip_.SetDoAll(false);
    zip_.SetRootDir("data");
    zip_.SetFilesList({"*.txt", "*.*"});
    EXPECT_EQ(zip_.ExtractArchive(), 3);
    EXPECT_TRUE(zip_.FilesList().empty());
    EXPECT_EQ(test::treeListing(t_.file("dest")).substr(0, 8), "d sub\nf ");
    EXPECT_TRUE(fs::exists(t_.file("dest/sub/Read.TXT")));
    EXPECT_TRUE(fs::exists(t_.file("dest/Makefile")));

    // Selected entries only, without their directories; the marks are used up.
    zip_.SetRecreateDirs(false);
    zip_.SetDestDir(t_.file("flat"));
    zip_.SetEntrySelected(0, true);
    EXPECT_EQ(zip_.ExtractSelectedEntries(), 1);
    EXPECT_EQ(test::treeListing(t_.file("flat")),
              "f Read.TXT 1 " + std::to_string(Crc32Update(0, "r", 1)) + "\n");
    EXPECT_EQ(zip_.ExtractSelectedEntries(), 0);
}

TEST_F(ZipExtractPolicy, WrongPasswordThenTheRightOneFromTheEvent) {
    t_.write("src/a.txt", "secret a");
    t_.write("src/b.txt", "secret b");
    test::mustRun("cd " + t_.file("src") + " && zip -q -P right ../a.zip a.txt b.txt");
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest"));
    zip_.SetPassword("wrong");
    int asked = 0;
    zip_.OnBadPassword = [&asked](TZipReader&, int, std::string& password) {
        ++asked;
        password = "right";
    };
    test::ExtractEvents events(zip_);
    EXPECT_EQ(zip_.ExtractArchive(), 2);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(test::readFile(t_.file("dest/b.txt")), "secret b");
    for (const auto& line : events.lines)
        EXPECT_NE(line.rfind("skip", 0), 0u) << line;

    // A handler that keeps the password leaves the entries alone.
    t_.write("dest/a.txt", "mine");
    zip_.SetPassword("wrong");
    zip_.OnBadPassword = [&asked](TZipReader&, int, std::string&) { ++asked; };
    EXPECT_EQ(zip_.ExtractArchive(), 0);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(test::readFile(t_.file("dest/a.txt")), "mine");
    ASSERT_EQ(zip_.ExtractFailures().size(), 2u);
    // A wrong password passes the one check byte of a header 1 time in 256; the data
    // then tell.
    EXPECT_EQ(zip_.ExtractFailures()[0].Message.rfind("Wrong password", 0), 0u)
        << zip_.ExtractFailures()[0].Message;
}

} // namespace kd
