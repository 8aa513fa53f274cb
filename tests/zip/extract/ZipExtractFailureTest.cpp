// Damaged entries, unknown methods, cancel and write errors: the user's files survive
// and the run reports what happened.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "zip/format/Crc32.h"
#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

using test::HeaderField;
using test::PyEntry;

class ZipExtractFailure : public test::ExtractTest {
protected:
    // Only the files named, with their contents, are in dest: no temporary file is
    // left behind.
    void expectDest(const std::map<std::string, std::string>& files) {
        std::map<std::string, std::string> found;
        for (const auto& item : fs::directory_iterator(t_.file("dest")))
            found[item.path().filename().string()] = test::readFile(item.path().string());
        EXPECT_EQ(found, files);
    }
};

// Text of many 32 KiB chunks.
std::string bigText() {
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "row " + std::to_string(i) + "\n";
    return text;
}

} // namespace

TEST_F(ZipExtractFailure, DamagedEntriesKeepTheOldFileAndTheRunGoesOn) {
    makeZip({{"crc.txt", "stored data with a flipped bit"},
             {"deflate.txt", bigText(), true},
             {"size.txt", "more than announced"},
             {"good.txt", "good"}});
    test::corruptAt(t_.file("a.zip"), "flipped");
    test::patchEntry(t_.file("a.zip"), 2, HeaderField::UncompressedSize, 4);
    // Block type 3 at the start of the deflate stream, right behind the local name.
    std::string bytes = test::readFile(t_.file("a.zip"));
    const std::size_t data = bytes.find("deflate.txt") + 11;
    bytes[data] = static_cast<char>(bytes[data] | 0x07);
    std::ofstream(t_.file("a.zip"), std::ios::binary | std::ios::trunc) << bytes;
    for (const char* name : {"crc.txt", "deflate.txt", "size.txt"})
        t_.write("dest/" + std::string(name), "old");

    test::ExtractEvents events(zip_);
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    expectDest(
        {{"crc.txt", "old"}, {"deflate.txt", "old"}, {"size.txt", "old"}, {"good.txt", "good"}});
    const auto main = events.Main();
    EXPECT_EQ(std::count(main.begin(), main.end(), "badcrc 0"), 1);
    EXPECT_EQ(std::count(main.begin(), main.end(), "badcrc 1"), 1);
    EXPECT_EQ(std::count(main.begin(), main.end(), "badcrc 2"), 1);
    ASSERT_EQ(zip_.ExtractFailures().size(), 3u);
    EXPECT_NE(zip_.ExtractFailures()[0].Message.find("CRC error"), std::string::npos);
    EXPECT_NE(zip_.ExtractFailures()[1].Message.find("Bad compressed data"), std::string::npos);
    EXPECT_EQ(zip_.ExtractFailures()[2].Message, "File is larger than uncompressed size!");
}

TEST_F(ZipExtractFailure, UnknownMethodIsSkippedBeforeThePasswordAndTheTarget) {
    t_.write("src/a.txt", "aaa");
    t_.write("src/b.txt", "bbb");
    test::mustRun("cd " + t_.file("src") + " && zip -q -P pw ../a.zip a.txt b.txt");
    test::patchEntry(t_.file("a.zip"), 0, HeaderField::Method, 12); // bzip2
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest"));
    zip_.SetPassword("pw");
    int asked = 0;
    zip_.OnBadPassword = [&asked](TZipReader&, int, std::string&) { ++asked; };
    t_.write("dest/a.txt", "mine");
    test::ExtractEvents events(zip_);
    EXPECT_EQ(zip_.ExtractArchive(), 1);
    EXPECT_EQ(events.Main(),
              (std::vector<std::string>{"info 2 6", "skip 4 0 a.txt", "start 1 b.txt",
                                        "end 1 b.txt", "complete 1"}));
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(ui_.shown.empty());
    expectDest({{"a.txt", "mine"}, {"b.txt", "bbb"}});
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    EXPECT_EQ(zip_.ExtractFailures()[0].Message, "Unknown Compression Method 12");
}

TEST_F(ZipExtractFailure, EveryEntryLeftOutIsToldWithItsOwnReason) {
    // Unknown methods whose sizes disagree either way, method 99 without encryption
    // (not AES), a directory named only "\" (nothing to make), and "./" (the
    // destination itself, which is there).
    makeZip({{"larger.txt", std::string(100, 'x')},
             {"smaller.txt", "xxxxx"},
             {"m99.txt", "ninety-nine"},
             {"\\", "", false, 0, "2020, 1, 1, 12, 0, 0", true},
             {"./", ""},
             {"ok.txt", "ok"}});
    const std::string archive = t_.file("a.zip");
    test::patchEntry(archive, 0, HeaderField::Method, 12);
    test::patchEntry(archive, 0, HeaderField::UncompressedSize, 5);
    test::patchEntry(archive, 1, HeaderField::Method, 12);
    test::patchEntry(archive, 1, HeaderField::UncompressedSize, 100);
    test::patchEntry(archive, 2, HeaderField::Method, 99);
    for (const int threads : {1, 4}) {
        SCOPED_TRACE(threads);
        zip_.SetExtractThreads(threads);
        test::ExtractEvents events(zip_);
        EXPECT_EQ(zip_.ExtractArchive(), 2);
        std::vector<std::string> told;
        for (const auto& f : zip_.ExtractFailures())
            told.push_back(std::to_string(f.FileIndex) + " " + f.Name + ": " + f.Message);
        EXPECT_EQ(told, (std::vector<std::string>{"0 larger.txt: Unknown Compression Method 12",
                                                  "1 smaller.txt: Unknown Compression Method 12",
                                                  "2 m99.txt: Unknown Compression Method 99",
                                                  "3 /: The name names no file or directory"}));
        EXPECT_EQ(std::count(events.lines.begin(), events.lines.end(), "skip 11 3 "), 1);
        expectDest({{"ok.txt", "ok"}});
        fs::remove(t_.file("dest/ok.txt"));
    }
}

TEST_F(ZipExtractFailure, EncryptedEntryFailingItsCrcAsksForAnotherPassword) {
    const std::string text = "stored secret text";
    t_.write("src/a.txt", text);
    test::mustRun("cd " + t_.file("src") + " && zip -q -0 -P pw ../a.zip a.txt");
    // The top byte stays, so the password check passes and the CRC check fails.
    test::patchEntry(t_.file("a.zip"), 0, HeaderField::Crc,
                     Crc32Update(0, text.data(), text.size()) ^ 1);
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest"));
    zip_.SetPassword("pw");
    std::vector<std::string> offered;
    zip_.OnBadPassword = [&offered](TZipReader&, int, std::string& password) {
        offered.push_back(password);
        password = "other";
    };
    test::ExtractEvents events(zip_);
    EXPECT_EQ(zip_.ExtractArchive(), 0);
    // The new password runs the entry again from its start event.
    EXPECT_EQ(offered, (std::vector<std::string>{"pw", "other"}));
    EXPECT_EQ(events.Main(),
              (std::vector<std::string>{"info 1 18", "start 0 a.txt", "start 0 a.txt",
                                        "skip 0 0 a.txt", "complete 0"}));
    EXPECT_FALSE(fs::exists(t_.file("dest/a.txt")));
    EXPECT_EQ(zip_.ExtractFailures().size(), 1u);
}

TEST_F(ZipExtractFailure, CancelEndsTheRunAndKeepsTheFileBeingWritten) {
    makeZip({{"a.txt", "a"}, {"b.txt", "b"}, {"big.txt", bigText()}, {"d.txt", "d"}});
    t_.write("dest/big.txt", "old");
    zip_.SetDoAll(false);
    zip_.SetFilesList({"*"});
    test::ExtractEvents events(zip_);
    int pumps = 0;
    struct CancellingUi : test::ScriptedUiHost {
        std::function<void()> onPump;
        void processEvents() override { onPump(); }
    } ui;
    ui.onPump = [&] {
        if (++pumps == 7) // in the middle of big.txt
            zip_.CancelRunningOperation();
    };
    zip_.SetUiHost(ui);
    EXPECT_THROW(zip_.ExtractArchive(), EUserCanceled);
    EXPECT_EQ(events.lines.back(), "complete 2");
    EXPECT_TRUE(zip_.FilesList().empty());
    expectDest({{"a.txt", "a"}, {"b.txt", "b"}, {"big.txt", "old"}});
    zip_.SetUiHost(ui_);
}

TEST_F(ZipExtractFailure, FullDiskEndsOnlyItsEntryAsAWriteErrorAndKeepsTheOldFile) {
    makeZip({{"big.txt", bigText(), true}, {"small.txt", "small"}});
    t_.write("dest/big.txt", "old");
    test::ExtractEvents events(zip_);
    // A file size limit makes writes fail the way a full disk does.
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 100000;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    int extracted = -1;
    EXPECT_NO_THROW(extracted = zip_.ExtractArchive());
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(extracted, 1);
    expectDest({{"big.txt", "old"}, {"small.txt", "small"}});
    // Told as a write error, neither as a bad CRC nor as a wrong password.
    const auto main = events.Main();
    EXPECT_EQ(std::count(main.begin(), main.end(), "skip 10 0 big.txt"), 1);
    EXPECT_EQ(std::count(main.begin(), main.end(), "badcrc 0"), 0);
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    const TExtractFailure& failure = zip_.ExtractFailures()[0];
    EXPECT_EQ(failure.Problem, TExtractProblem::WriteFailed);
    EXPECT_NE(failure.Message.find("File too large"), std::string::npos) << failure.Message;
    EXPECT_NE(failure.Message.find("big.txt"), std::string::npos) << failure.Message;
}

TEST_F(ZipExtractFailure, EventsComeInTheirOrderWithProgress) {
    makeZip({{"dir/", ""}, {"dir/a.txt", bigText(), true}, {"b.txt", "bb"}});
    test::ExtractEvents events(zip_);
    EXPECT_EQ(zip_.ExtractArchive(), 3);
    const std::string size = std::to_string(bigText().size() + 2);
    EXPECT_EQ(events.Main(),
              (std::vector<std::string>{"info 2 " + size, "start 1 a.txt", "end 1 a.txt",
                                        "start 2 b.txt", "end 2 b.txt", "complete 3"}));
    // Progress per chunk, rising to 100 for each file and for the run.
    std::vector<std::string> progress;
    for (const auto& line : events.lines)
        if (line.find('%') != std::string::npos)
            progress.push_back(line);
    EXPECT_GT(progress.size(), 20u);
    const auto& l = events.lines;
    const auto end = std::find(l.begin(), l.end(), "end 1 a.txt");
    EXPECT_EQ(*(end - 2), "file% 100");
    EXPECT_EQ(*(end - 1), "total% 100"); // b.txt's two bytes round away
    EXPECT_EQ(progress.back(), "total% 100");
}

} // namespace kd
