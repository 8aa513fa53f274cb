// What the writer does when things go wrong: full disks, files changing under it,
// its own archive in its input, sizes the format cannot hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

namespace {

// An existing archive of one small file, to be updated.
struct Existing {
    test::TempDir t;
    test::WriterBench bench{t};
    std::string before;

    Existing() {
        t.write("tree/small.txt", "small");
        bench.zip.SetRootDir(t.file("tree"));
        bench.add({"small.txt"});
        before = test::fileBytes(bench.archive);
    }
    void expectUntouched() {
        EXPECT_EQ(test::fileBytes(bench.archive), before);
        EXPECT_EQ(test::filesIn(t.path()), std::vector<std::string>{"out.zip"});
    }
};

TEST(ZipWriterSafety, AFullDiskFailsTheRunAndKeepsTheOldArchive) {
    Existing e;
    e.t.write("tree/big.bin", test::randomBytes(300000));
    e.bench.zip.SetPackLevel(0);
    {
        test::FileSizeLimit limit(100000);
        EXPECT_THROW(e.bench.add({"big.bin"}), Exception);
    }
    e.expectUntouched();
}

TEST(ZipWriterSafety, AFileChangingWhileReadIsReadAgainOrLeftOut) {
    Existing e;
    const std::string path = e.t.write("tree/moving.txt", std::string(200000, 'x'));
    int changes = 1; // the reads during which the file grows
    e.bench.zip.OnFilePercentDone = [&](TZipReader&, int) {
        if (changes-- > 0)
            std::ofstream(path, std::ios::app) << "more";
    };
    std::vector<std::string> skipped;
    e.bench.zip.OnSkippingFile = [&](TZipReader&, TSkipReason reason, const std::string& name, int,
                                     bool&) {
        EXPECT_EQ(reason, TSkipReason::srFileChanged);
        skipped.push_back(name);
    };
    // Changed during the first read only: the second read is stored, whole.
    EXPECT_EQ(e.bench.add({"moving.txt"}), 1);
    EXPECT_TRUE(skipped.empty());
    EXPECT_EQ(test::zipfileMismatches(e.bench.archive, {{"small.txt", e.t.file("tree/small.txt")},
                                                        {"moving.txt", path}}),
              "");

    // Changing during every read: reported and left out; the archive stays sound.
    e.t.write("tree/moving.txt", "restart");
    test::touchBy(path, 20);
    changes = 1000;
    e.bench.zip.SetPassword("pw");
    EXPECT_EQ(e.bench.add({"moving.txt", "small2.txt"}), 0);
    EXPECT_EQ(skipped, std::vector<std::string>{path});
    test::expectToolsAccept(e.bench.archive);
}

TEST(ZipWriterSafety, EncryptedFileRewrittenBetweenItsTwoReadsIsCaught) {
    // Same size, same time: only the CRC of the two reads tells.
    Existing e;
    const std::string path = e.t.write("tree/same.txt", std::string(100000, 'a'));
    const auto when = std::filesystem::last_write_time(path);
    bool changed = false;
    e.bench.zip.OnFilePercentDone = [&](TZipReader&, int) {
        if (std::exchange(changed, true))
            return;
        std::ofstream file(path, std::ios::in | std::ios::out); // ahead of the reading
        file.seekp(99990);
        file << "bbbbbbbbbb";
        file.close();
        std::filesystem::last_write_time(path, when);
    };
    e.bench.zip.SetPassword("pw");
    e.bench.zip.SetZipAction(TZipAction::zaReplace);
    // The rewrite lands between the two reads of the calling thread; a worker reads
    // the file once, ahead, and stores that read whole.
    e.bench.zip.SetThreads(1);
    EXPECT_EQ(e.bench.add({"same.txt"}), 1);
    EXPECT_EQ(
        test::zipfileMismatches(
            e.bench.archive, {{"small.txt", e.t.file("tree/small.txt")}, {"same.txt", path}}, "pw"),
        "");
}

TEST(ZipWriterSafety, TheArchiveIsNeverItsOwnInput) {
    test::TempDir t;
    t.write("a.txt", "a");
    test::WriterBench bench(t);
    bench.zip.SetRootDir(t.path());
    bench.add({"a.txt"});
    ASSERT_EQ(::link(bench.archive.c_str(), t.file("copy-of-archive.bin").c_str()), 0);
    // Upper-case names are other files on Linux.
    t.write("A.TXT", "A");
    EXPECT_EQ(bench.add({"*.*", "out.zip"}), 1); // A.TXT; a.txt is not newer and stays
    EXPECT_EQ(test::zipfileMismatches(bench.archive,
                                      {{"a.txt", t.file("a.txt")}, {"A.TXT", t.file("A.TXT")}}),
              "");
}

class LimitedWriter : public TZipWriter {
public:
    using TZipWriter::SetFormatLimits;
    using TZipWriter::TZipWriter;
};

TEST(ZipWriterSafety, SizesTheFormatCannotHoldAreRefused) {
    Existing e;
    const std::string huge = e.t.file("tree/huge.img");
    std::filesystem::resize_file(e.t.write("tree/huge.img", ""), 0x100000000ull); // sparse
    EXPECT_THROW(e.bench.add({"huge.img"}), EZipTooLarge);
    e.expectUntouched();
    std::filesystem::remove(huge);

    LimitedWriter zip(e.bench.ui, e.bench.volumes, e.bench.attributes);
    zip.SetZipName(e.bench.archive);
    zip.SetRootDir(e.t.file("tree"));
    zip.SetFormatLimits(1u << 20, 3);
    e.t.write("tree/one.txt", "1");
    e.t.write("tree/two.txt", "2");
    e.t.write("tree/three.txt", "3");
    zip.SetFilesList({"*.txt"});
    EXPECT_THROW(zip.AddFilesToArchive(), EZipTooLarge); // four entries
    e.expectUntouched();

    zip.SetFormatLimits(150000, 100);
    e.t.write("tree/random.bin", test::randomBytes(200000));
    zip.SetFilesList({"random.bin"});
    EXPECT_THROW(zip.AddFilesToArchive(), EZipTooLarge);
    e.expectUntouched();
}

TEST(ZipWriterSafety, TooManyEntriesAreRefusedBeforeAnyFileIsRead) {
    Existing e; // small.txt, kept: it counts
    e.t.write("tree/one.txt", "1");
    e.t.write("tree/two.txt", "2");
    LimitedWriter zip(e.bench.ui, e.bench.volumes, e.bench.attributes);
    zip.SetZipName(e.bench.archive);
    zip.SetRootDir(e.t.file("tree"));
    zip.SetFormatLimits(1u << 20, 2);
    int started = 0;
    zip.OnStartZip = [&](TZipWriter&, const std::string&, TZipHeaderInfo&, bool&) { ++started; };
    zip.SetFilesList({"one.txt", "two.txt"});
    EXPECT_THROW(zip.AddFilesToArchive(), EZipTooLarge);
    EXPECT_EQ(started, 0);
    e.expectUntouched();
}

} // namespace
