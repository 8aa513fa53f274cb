// Archives written as numbered part files.
#include <gtest/gtest.h>

#include <filesystem>

#include "ZipReaderTestSupport.h"
#include "ZipWriterPartsTestSupport.h"
#include "ZipWriterTestSupport.h"
#include "zip/ZfcFile.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A writer of numbered parts over the tree of PartsSource, into t/out/backup.zip.
struct Numbered {
    test::TempDir t;
    test::PartsSource source{t};
    test::WriterBench bench{t};
    std::string dir = t.file("out");
    std::string zipName = dir + "/backup.zip";

    Numbered(std::int32_t first, std::int32_t next) {
        fs::create_directories(dir);
        fs::create_directories(t.file("tmp"));
        bench.zip.SetZipName(zipName);
        bench.zip.SetRootDir(source.root);
        bench.zip.SetStorePaths(true);
        bench.zip.SetRelativePaths(true);
        bench.zip.SetTempPath(t.file("tmp"));
        bench.zip.MultiZipInfo().SetFirstBlockSize(first);
        bench.zip.MultiZipInfo().SetBlockSize(next);
        bench.zip.SetMultiMode(TMultiMode::mmBlocks);
    }
    int write() { return bench.add({"*"}); }
    std::string part(int n) const { return PartFileName(zipName, n); }
};

TEST(ZipWriterParts, ASetOfPartsPassesTheOraclesAndReadsBack) {
    Numbered w(300000, 200000);
    w.bench.zip.SetPassword("secret");
    EXPECT_EQ(w.write(), w.source.count());
    const auto files = test::filesIn(w.dir);
    ASSERT_GE(files.size(), 4u) << "the tree fills several parts";
    // backup.001 of at most the first size, then parts of at most the next size; the
    // component then names the last part.
    EXPECT_LE(fs::file_size(w.part(1)), 300000u);
    for (std::size_t n = 2; n <= files.size(); ++n)
        EXPECT_LE(fs::file_size(w.part(static_cast<int>(n))), 200000u) << n;
    EXPECT_EQ(w.bench.zip.ZipName(), w.part(static_cast<int>(files.size())));
    EXPECT_TRUE(test::filesIn(w.t.file("tmp")).empty());

    const std::string joined = test::joinWithInfoZip(w.t, test::partNames(w.zipName, files.size()));
    EXPECT_EQ(test::zipfileMismatches(joined, w.source.expected(), "secret"), "");
    test::expectSevenZipReadsSplit(w.t, test::partNames(w.zipName, files.size()), "secret");
    test::expectReaderExtracts(w.bench.zip.ZipName(), w.source, "secret");
}

} // namespace
