// Compressing on worker threads changes nothing a caller can see: the archive, the
// events and their order are those of a run on the calling thread alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ProcessThreads.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A tree of the kinds of file a run meets: empty, tiny, text, random, repetitive,
// stored by rule, and one larger than the memory bound the runs use.
void writeTree(const test::TempDir& t) {
    t.write("tree/empty.txt", "");
    t.write("tree/sub/empty2.bin", "");
    for (int i = 0; i < 40; ++i)
        t.write("tree/sub/small" + std::to_string(i) + ".txt",
                std::string(static_cast<std::size_t>(i * 37), static_cast<char>('a' + i % 26)));
    t.write("tree/random.bin", test::randomBytes(150000, 3));
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "line " + std::to_string(i % 97) + " of the text\n";
    t.write("tree/text.txt", text);
    t.write("tree/packed.zip", test::randomBytes(5000, 4));
    t.write("tree/large.bin", text + test::randomBytes(200000, 5) + text);
}

constexpr std::uint64_t kBound = 100000; // large.bin and text.txt pass it

// A writer over the tree recording every event, in order, as one line each.
struct Recorded {
    test::TempDir& t;
    test::WriterBench bench{t};
    std::string log;

    Recorded(test::TempDir& dir, const std::string& archive, int threads,
             std::uint64_t bound = kBound)
        : t(dir) {
        bench.archive = t.file(archive);
        bench.zip.SetZipName(bench.archive);
        bench.zip.SetRootDir(t.file("tree"));
        bench.zip.SetRecurse(true);
        bench.zip.SetStorePaths(true);
        bench.zip.SetRelativePaths(true);
        bench.zip.SetNoCompressList({"*.zip"});
        bench.zip.SetThreads(threads);
        bench.zip.SetMemoryInFlight(bound);
        TZipWriter& zip = bench.zip;
        zip.OnStartZip = [this](TZipWriter&, const std::string& name, TZipHeaderInfo&, bool&) {
            log += "start " + name + "\n";
        };
        zip.OnEndZip = [this](TZipWriter&, const std::string& name, std::uint32_t size,
                              std::uint32_t packed, std::int64_t at) {
            log += "end " + name + " " + std::to_string(size) + " " + std::to_string(packed) + " " +
                   std::to_string(at) + "\n";
        };
        zip.OnFilePercentDone = [this](TZipReader&, int p) {
            log += "file " + std::to_string(p) + "\n";
        };
        zip.OnTotalPercentDone = [this](TZipReader&, int p) {
            log += "total " + std::to_string(p) + "\n";
        };
        zip.OnSkippingFile = [this](TZipReader&, TSkipReason reason, const std::string& name, int,
                                    bool&) {
            log += "skip " + std::to_string(static_cast<int>(reason)) + " " + name + "\n";
        };
        zip.OnUpdate = [this](TZipWriter&, TUpdateAction action, int index) {
            log += "update " + std::to_string(static_cast<int>(action)) + " " +
                   std::to_string(index) + "\n";
        };
    }
};

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
    Recorded one(t, "one.zip", 1, 8 << 20);
    Recorded four(t, "four.zip", 4, 8 << 20);
    one.bench.add({"*"});
    four.bench.add({"*"});
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::fileBytes(four.bench.archive), test::fileBytes(one.bench.archive));
    test::expectToolsAccept(four.bench.archive);
}

TEST(ZipWriterThreads, NewAndUpdatedArchivesAndPartSetsAreTheSameWithAnyThreadCount) {
    test::TempDir t;
    writeTree(t);
    Recorded one(t, "one.zip", 1);
    Recorded four(t, "four.zip", 4);
    one.bench.add({"*"});
    four.bench.add({"*"});
    ASSERT_FALSE(one.log.empty());
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::fileBytes(four.bench.archive), test::fileBytes(one.bench.archive));
    test::expectToolsAccept(four.bench.archive);
    // One worker beside the writing thread: the two make the small files between them.
    Recorded two(t, "two.zip", 2);
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
    for (Recorded* run : {&one, &four}) {
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
    writeTree(t);
    Recorded one(t, "one.zip", 1);
    Recorded four(t, "four.zip", 4);
    one.bench.zip.SetPassword("secret");
    four.bench.zip.SetPassword("secret");
    one.bench.add({"*"});
    four.bench.add({"*"});
    EXPECT_EQ(four.log, one.log);
    EXPECT_EQ(test::centralFields(four.bench.archive), test::centralFields(one.bench.archive));
    std::map<std::string, std::string> expected;
    for (const auto& entry : fs::recursive_directory_iterator(t.file("tree")))
        if (entry.is_regular_file())
            expected[fs::relative(entry.path(), t.file("tree")).string()] = entry.path().string();
    EXPECT_EQ(test::zipfileMismatches(four.bench.archive, expected, "secret"), "");
}

TEST(ZipWriterThreads, CancelLeavesTheOldArchiveAndNoWorkerBehind) {
    test::TempDir t;
    writeTree(t);
    Recorded run(t, "out.zip", 4);
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
    writeTree(t);
    std::string logs[2];
    for (const int threads : {1, 4}) {
        // The file grows at each progress event of text.txt: every read of it sees a
        // change, so it is read three times and reported.
        Recorded run(t, "out" + std::to_string(threads) + ".zip", threads);
        const std::string path = t.file("tree/text.txt");
        t.write("tree/text.txt", std::string(150000, 'x'));
        bool inText = false;
        const auto start = run.bench.zip.OnStartZip;
        run.bench.zip.OnStartZip = [&](TZipWriter& zip, const std::string& name,
                                       TZipHeaderInfo& header, bool& skip) {
            inText = name == path;
            start(zip, name, header, skip);
        };
        const auto file = run.bench.zip.OnFilePercentDone;
        run.bench.zip.OnFilePercentDone = [&](TZipReader& zip, int p) {
            if (inText)
                std::ofstream(path, std::ios::app) << "more";
            file(zip, p);
        };
        run.bench.add({"*"});
        logs[threads == 1 ? 0 : 1] = run.log;
        EXPECT_NE(run.log.find("skip " +
                               std::to_string(static_cast<int>(TSkipReason::srFileChanged)) + " " +
                               path),
                  std::string::npos);
    }
    EXPECT_EQ(logs[1], logs[0]);
}

TEST(ZipWriterThreads, AFileDeletedAtItsTurnIsStoredAsOnOneThread) {
    test::TempDir t;
    writeTree(t);
    std::string logs[2];
    for (const int threads : {1, 4}) {
        // Deleted while its entry starts: one thread holds it open by then, workers
        // read it before; either way the entry holds what the file held.
        t.write("tree/text.txt", std::string(150000, 'y'));
        Recorded run(t, "out" + std::to_string(threads) + ".zip", threads, 1 << 20);
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
        std::map<std::string, std::string> expected{
            {"text.txt", t.write("kept.txt", std::string(150000, 'y'))}};
        for (const auto& entry : fs::recursive_directory_iterator(t.file("tree")))
            if (entry.is_regular_file())
                expected[fs::relative(entry.path(), t.file("tree")).string()] =
                    entry.path().string();
        EXPECT_EQ(test::zipfileMismatches(run.bench.archive, expected), "");
    }
    EXPECT_EQ(logs[1], logs[0]);
}

} // namespace
