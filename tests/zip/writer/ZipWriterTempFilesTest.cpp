// Runs killed midway (kill -9): the archive's directory keeps the old archive and
// gains nothing, or, where only named temporary files exist, files of the program's
// prefix that the next run removes.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>

#include "platform/TempFileBeside.h"
#include "zip/format/ZfcFile.h"
#include "zip/support/KillTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

enum class Layout { Single, Parts };

class ZipWriterKilled : public ::testing::TestWithParam<Layout> {
protected:
    ZipWriterKilled() {
        fs::create_directories(out_);
        fs::create_directories(spool_);
        t_.write("src/small.txt", "a small file");
        t_.write("src/big.bin", test::noise(3 << 20));
        // The archive the killed run is to replace.
        configure(bench_.zip);
        bench_.add({t_.file("src/small.txt")});
    }

    void configure(TZipWriter& zip) const {
        zip.SetZipName(zipName_);
        zip.SetTempPath(spool_);
        zip.SetPackLevel(1);
        if (GetParam() == Layout::Parts) {
            zip.SetMultiMode(TMultiMode::mmBlocks);
            zip.MultiZipInfo().SetFirstBlockSize(256 << 10);
            zip.MultiZipInfo().SetBlockSize(256 << 10);
            zip.MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
        }
    }

    // A run adding the big file, killed when its data is three quarters through
    // (for parts: several parts written and waiting to be put in place).
    bool killRun(bool unnamedAllowed) {
        // Made here: the killed run cannot remove a directory of its own.
        const test::TempDir scratch;
        return test::killedAtHalt([&](const std::function<void()>& halt) {
            TempFileBeside::SetUnnamedAllowed(unnamedAllowed);
            test::WriterBench bench(scratch);
            configure(bench.zip);
            bench.zip.OnFilePercentDone = [&](TZipReader&, int percent) {
                if (percent >= 75 && percent < 100)
                    halt();
            };
            bench.add({t_.file("src/big.bin")});
        });
    }

    test::TempDir t_;
    std::string out_ = t_.file("out");
    std::string spool_ = t_.file("spool");
    std::string zipName_ = out_ + "/backup.zip";
    test::WriterBench bench_{t_};
};

} // namespace

TEST_P(ZipWriterKilled, LeavesNothingWhereUnnamedFilesExist) {
    if (!test::hasUnnamedFiles(out_) || !test::hasUnnamedFiles(spool_))
        GTEST_SKIP() << "the file system makes no unnamed temporary files";
    const auto before = test::directoryContents(out_);
    ASSERT_TRUE(killRun(true));
    EXPECT_EQ(test::directoryContents(out_), before);
    EXPECT_TRUE(test::directoryContents(spool_).empty());
}

TEST_P(ZipWriterKilled, LeavesOnlyPrefixedFilesElsewhereAndTheNextRunRemovesThem) {
    const auto before = test::directoryContents(out_);
    ASSERT_TRUE(killRun(false));
    const auto after = test::directoryContents(out_);
    EXPECT_GT(after.size(), before.size()); // the killed run's files
    EXPECT_EQ(test::withoutTempFiles(after), before);
    // A multi-part run spools each entry's data in the temporary directory.
    EXPECT_EQ(test::directoryContents(spool_).empty(), GetParam() == Layout::Single);

    // The next run, on a file system without unnamed files too.
    TempFileBeside::SetUnnamedAllowed(false);
    configure(bench_.zip);
    EXPECT_EQ(bench_.add({t_.write("src/other.txt", "another small file")}), 1);
    TempFileBeside::SetUnnamedAllowed(true);
    for (const auto& [name, bytes] : test::directoryContents(out_))
        EXPECT_FALSE(TempFileBeside::IsTempFileName(name)) << name;
    EXPECT_TRUE(test::directoryContents(spool_).empty());
}

INSTANTIATE_TEST_SUITE_P(Layouts, ZipWriterKilled, ::testing::Values(Layout::Single, Layout::Parts),
                         [](const auto& param) {
                             return param.param == Layout::Single ? "Single" : "Parts";
                         });

// Every part of a set stays open until the set is put in place: a set of more parts
// than the soft descriptor limit allows is still written.
TEST(ZipWriterTempFiles, ManyPartsDoNotRunOutOfDescriptors) {
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    if (old.rlim_max < 1024)
        GTEST_SKIP() << "the hard descriptor limit is too low";
    test::TempDir t;
    t.write("src/data.bin", test::noise(300 << 10));
    test::WriterBench bench(t);
    bench.zip.SetPackLevel(0);
    bench.zip.SetMultiMode(TMultiMode::mmBlocks);
    bench.zip.MultiZipInfo().SetFirstBlockSize(1024);
    bench.zip.MultiZipInfo().SetBlockSize(1024);
    rlimit low{64, old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    EXPECT_NO_THROW(bench.add({t.file("src/data.bin")}));
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_GT(test::filesIn(t.path()).size(), 300u);
}

} // namespace kd
