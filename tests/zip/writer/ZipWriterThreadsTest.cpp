// Compressing on worker threads changes nothing a caller can see: the archive, the
// events and their order are those of a run on the calling thread alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ProcessThreads.h"
#include "zip/support/RecordedWriter.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

using test::RecordedWriter;

// The files of t/tree by their entry names.
std::map<std::string, std::string> treeFiles(const test::TempDir& t) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(t.file("tree")))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), t.file("tree")).string()] = entry.path().string();
    return files;
}

// The files of dir whose names start with stem, with their bytes.
std::map<std::string, std::string> filesStartingWith(const test::TempDir& t,
                                                     const std::string& stem) {
    std::map<std::string, std::string> files;
    for (const std::string& name : test::filesIn(t.path()))
        if (name.rfind(stem, 0) == 0)
            files[name.substr(stem.size())] = test::fileBytes(t.file(name));
    return files;
}

// A file large enough to be compressed on several threads itself.
TEST(ZipWriterThreads, AFileCompressedOnSeveralThreadsGivesTheSameEntry) {
    test::TempDir t;
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "record " + std::to_string(i * 7919 % 1013) + " of the file\n";
    t.write("tree/big.log", text + test::randomBytes(300000, 6) + text);
    t.write("tree/small.txt", "small");
    RecordedWriter one(t, "one.zip", 1, 8 << 20);
    RecordedWriter four(t, "four.zip", 4, 8 << 20);
    one.bench.add({"*"});
    four.bench.add({"*"});
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::fileBytes(four.bench.archive), test::fileBytes(one.bench.archive));
    test::expectToolsAccept(four.bench.archive);
}

TEST(ZipWriterThreads, NewAndUpdatedArchivesAndPartSetsAreTheSameWithAnyThreadCount) {
    test::TempDir t;
    test::writeMixedTree(t);
    RecordedWriter one(t, "one.zip", 1);
    RecordedWriter four(t, "four.zip", 4);
    one.bench.add({"*"});
    four.bench.add({"*"});
    ASSERT_FALSE(one.log.empty());
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::fileBytes(four.bench.archive), test::fileBytes(one.bench.archive));
    test::expectToolsAccept(four.bench.archive);
    // One worker beside the writing thread: the two make the small files between them.
    RecordedWriter two(t, "two.zip", 2);
    two.bench.add({"*"});
    EXPECT_EQ(two.log, one.log);
    EXPECT_EQ(test::fileBytes(two.bench.archive), test::fileBytes(one.bench.archive));

    // An update: some files newer, one new; the old entries are kept or replaced.
    test::touchBy(t.file("tree/text.txt"), 30);
    test::touchBy(t.file("tree/sub/small7.txt"), 30);
    t.write("tree/sub/new.txt", "new");
    one.log.clear();
    four.log.clear();
    one.bench.add({"*"});
    four.bench.add({"*"});
    EXPECT_NE(one.log.find("update 0"), std::string::npos);
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::fileBytes(four.bench.archive), test::fileBytes(one.bench.archive));

    // Numbered parts, each written through the temporary data file.
    for (RecordedWriter* run : {&one, &four}) {
        run->log.clear();
        run->bench.zip.MultiZipInfo().SetMultiMode(TMultiMode::mmBlocks);
        run->bench.zip.MultiZipInfo().SetFirstBlockSize(120000);
        run->bench.zip.MultiZipInfo().SetBlockSize(90000);
        run->bench.zip.SetWriteSetAfresh(true);
        run->bench.zip.SetZipName(t.file(run == &one ? "p1.zip" : "p4.zip"));
        run->bench.add({"*"});
    }
    EXPECT_EQ(four.log, one.log);
    const auto parts = filesStartingWith(t, "p1.");
    EXPECT_GT(parts.size(), 3u);
    EXPECT_EQ(filesStartingWith(t, "p4."), parts);
}

TEST(ZipWriterThreads, EncryptedEntriesDifferOnlyByTheirRandomHeaders) {
    test::TempDir t;
    test::writeMixedTree(t);
    RecordedWriter one(t, "one.zip", 1);
    RecordedWriter four(t, "four.zip", 4);
    one.bench.zip.SetPassword("secret");
    four.bench.zip.SetPassword("secret");
    one.bench.add({"*"});
    four.bench.add({"*"});
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::centralFields(four.bench.archive), test::centralFields(one.bench.archive));
    EXPECT_EQ(test::zipfileMismatches(four.bench.archive, treeFiles(t), "secret"), "");
}

TEST(ZipWriterThreads, CancelLeavesTheOldArchiveAndNoWorkerBehind) {
    test::TempDir t;
    test::writeMixedTree(t);
    RecordedWriter run(t, "out.zip", 4);
    run.bench.add({"text.txt"});
    const std::string before = test::fileBytes(run.bench.archive);
    const std::size_t threadsBefore = test::threadsOfThisProcess();
    run.bench.zip.SetDoProcessMessages(true);
    int ended = 0;
    run.bench.zip.OnEndZip = [&](TZipWriter& zip, const std::string&, std::uint32_t, std::uint32_t,
                                 std::int64_t) {
        if (++ended == 3)
            zip.CancelRunningOperation();
    };
    run.bench.zip.SetZipAction(TZipAction::zaReplace);
    EXPECT_THROW(run.bench.add({"*"}), EUserCanceled);
    EXPECT_EQ(ended, 3);
    EXPECT_TRUE(test::threadsReturnTo(threadsBefore));
    EXPECT_EQ(test::fileBytes(run.bench.archive), before);
    EXPECT_EQ(test::filesIn(t.path()), std::vector<std::string>{"out.zip"});
}

TEST(ZipWriterThreads, AFileChangingWhileReadIsReportedAsOnOneThread) {
    test::TempDir t;
    test::writeMixedTree(t);
    std::string logs[2];
    for (const int threads : {1, 4}) {
        // text.txt goes in first and grows at each progress event until it is
        // reported: every read of it sees a change, so it is read three times. Named
        // again by the mask, it is asked about and goes in at that turn.
        RecordedWriter run(t, "out" + std::to_string(threads) + ".zip", threads);
        const std::string path = t.file("tree/text.txt");
        t.write("tree/text.txt", std::string(150000, 'x'));
        bool growing = true;
        const auto file = run.bench.zip.OnFilePercentDone;
        run.bench.zip.OnFilePercentDone = [&](TZipReader& zip, int p) {
            if (growing)
                std::ofstream(path, std::ios::app) << "more";
            file(zip, p);
        };
        const auto skip = run.bench.zip.OnSkippingFile;
        run.bench.zip.OnSkippingFile = [&](TZipReader& zip, TSkipReason reason,
                                           const std::string& name, int index, bool& retry) {
            growing = growing && reason != TSkipReason::srFileChanged;
            skip(zip, reason, name, index, retry);
        };
        run.bench.add({"text.txt", "*"});
        logs[threads == 1 ? 0 : 1] = run.log;
        EXPECT_NE(run.log.find("skip " +
                               std::to_string(static_cast<int>(TSkipReason::srFileChanged)) + " " +
                               path),
                  std::string::npos);
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, treeFiles(t)), "");
    }
    EXPECT_EQ(logs[1], logs[0]);
}

TEST(ZipWriterThreads, AFileDeletedWhileReadIsStoredAsOnOneThread) {
    test::TempDir t;
    test::writeMixedTree(t);
    std::string logs[2];
    for (const int threads : {1, 4}) {
        // text.txt goes in first and is deleted at its first progress event: one
        // thread holds it open by then, workers read it before; either way the entry
        // holds what the file held.
        t.write("tree/text.txt", std::string(150000, 'y'));
        RecordedWriter run(t, "out" + std::to_string(threads) + ".zip", threads, 1 << 20);
        const std::string path = t.file("tree/text.txt");
        const auto file = run.bench.zip.OnFilePercentDone;
        run.bench.zip.OnFilePercentDone = [&](TZipReader& zip, int p) {
            fs::remove(path);
            file(zip, p);
        };
        run.bench.add({"text.txt", "*"});
        logs[threads == 1 ? 0 : 1] = run.log;
        auto expected = treeFiles(t);
        expected["text.txt"] = t.write("kept.txt", std::string(150000, 'y'));
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, expected), "");
    }
    EXPECT_EQ(logs[1], logs[0]);
}

TEST(ZipWriterThreads, AFileDeletedOnceDecidedOnIsLeftOutAsOnOneThread) {
    test::TempDir t;
    test::writeMixedTree(t);
    std::string logs[2];
    for (const int threads : {1, 4}) {
        // Deleted when OnStartZip is asked about it, before any file is read: no
        // thread has it, and it is left out without a word.
        t.write("tree/text.txt", std::string(150000, 'y'));
        RecordedWriter run(t, "out" + std::to_string(threads) + ".zip", threads, 1 << 20);
        const std::string path = t.file("tree/text.txt");
        const auto start = run.bench.zip.OnStartZip;
        run.bench.zip.OnStartZip = [&](TZipWriter& zip, const std::string& name,
                                       TZipHeaderInfo& header, bool& skip) {
            if (name == path)
                fs::remove(path);
            start(zip, name, header, skip);
        };
        run.bench.add({"*"});
        logs[threads == 1 ? 0 : 1] = run.log;
        EXPECT_EQ(run.log.find("skip"), std::string::npos);
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, treeFiles(t)), "");
    }
    EXPECT_EQ(logs[1], logs[0]);
}

} // namespace
