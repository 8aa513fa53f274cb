// Compressing on worker threads changes nothing a caller can see: the archive, the
// events and their order are those of a run on the calling thread alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

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

// Backs t/tree up with items on one thread and on four, each run readied by ready
// (which may wrap the recording handlers) and its archive checked by check; expects
// the same events of both.
void expectAsOnOneThread(test::TempDir& t, const std::vector<std::string>& items,
                         const std::function<void(RecordedWriter&)>& ready,
                         const std::function<void(RecordedWriter&)>& check) {
    std::string logs[2];
    for (const int threads : {1, 4}) {
        t.write("tree/text.txt", std::string(150000, 'y'));
        RecordedWriter run(t, "out" + std::to_string(threads) + ".zip", threads, 1 << 20);
        ready(run);
        run.bench.add(items);
        logs[threads == 1 ? 0 : 1] = run.log;
        check(run);
    }
    EXPECT_EQ(logs[1], logs[0]);
}

TEST(ZipWriterThreads, AFileChangingWhileReadIsReportedAsOnOneThread) {
    test::TempDir t;
    test::writeMixedTree(t);
    const std::string path = t.file("tree/text.txt");
    bool growing = true;
    // text.txt goes in first and grows at each progress event until it is reported:
    // every read of it sees a change, so it is read three times. Named again by the
    // mask, it is asked about and goes in at that turn.
    const auto ready = [&](RecordedWriter& run) {
        growing = true;
        const auto file = run.bench.zip.OnFilePercentDone;
        run.bench.zip.OnFilePercentDone = [&growing, path, file](TZipReader& zip, int p) {
            if (growing)
                std::ofstream(path, std::ios::app) << "more";
            file(zip, p);
        };
        const auto skip = run.bench.zip.OnSkippingFile;
        run.bench.zip.OnSkippingFile = [&growing, skip](TZipReader& zip, TSkipReason reason,
                                                        const std::string& name, int index,
                                                        bool& retry) {
            growing = growing && reason != TSkipReason::srFileChanged;
            skip(zip, reason, name, index, retry);
        };
    };
    expectAsOnOneThread(t, {"text.txt", "*"}, ready, [&](RecordedWriter& run) {
        const std::string reason = std::to_string(static_cast<int>(TSkipReason::srFileChanged));
        EXPECT_NE(run.log.find("skip " + reason + " " + path), std::string::npos);
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, treeFiles(t)), "");
    });
}

TEST(ZipWriterThreads, AFileDeletedWhileReadIsStoredAsOnOneThread) {
    test::TempDir t;
    test::writeMixedTree(t);
    const std::string path = t.file("tree/text.txt");
    // text.txt goes in first and is deleted at its first progress event: one thread
    // holds it open by then, workers read it before; either way the entry holds what
    // the file held.
    const auto ready = [&](RecordedWriter& run) {
        const auto file = run.bench.zip.OnFilePercentDone;
        run.bench.zip.OnFilePercentDone = [path, file](TZipReader& zip, int p) {
            fs::remove(path);
            file(zip, p);
        };
    };
    expectAsOnOneThread(t, {"text.txt", "*"}, ready, [&](RecordedWriter& run) {
        auto expected = treeFiles(t);
        expected["text.txt"] = t.write("kept.txt", std::string(150000, 'y'));
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, expected), "");
    });
}

TEST(ZipWriterThreads, AFileDeletedOnceAskedAboutIsLeftOutAsOnOneThread) {
    test::TempDir t;
    test::writeMixedTree(t);
    const std::string path = t.file("tree/text.txt");
    // Deleted when OnStartZip is asked about it, before any file is read: no thread
    // has it, and it is left out without a word.
    const auto ready = [&](RecordedWriter& run) {
        const auto start = run.bench.zip.OnStartZip;
        run.bench.zip.OnStartZip = [path, start](TZipWriter& zip, const std::string& name,
                                                 TZipHeaderInfo& header, bool& skip) {
            if (name == path)
                fs::remove(path);
            start(zip, name, header, skip);
        };
    };
    expectAsOnOneThread(t, {"*"}, ready, [&](RecordedWriter& run) {
        EXPECT_EQ(run.log.find("skip"), std::string::npos);
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, treeFiles(t)), "");
    });
}

} // namespace
