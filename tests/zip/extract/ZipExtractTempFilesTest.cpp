// Restores killed midway (kill -9) where only named temporary files exist leave files
// of the program's prefix that no backup stores and that the next restore removes.
// (Where unnamed files exist nothing is left: tests/gui/KilledRunTest.cpp.)
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/TempFileBeside.h"
#include "zip/support/KillTestSupport.h"
#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

class ZipExtractKilled : public ::testing::Test {
protected:
    ZipExtractKilled() {
        // An archive of sub/big.bin, and the user's older copy of it.
        t_.write("src/sub/big.bin", test::noise(3 << 20));
        test::WriterBench bench(t_);
        bench.zip.SetStorePaths(true);
        bench.zip.SetRelativePaths(true);
        bench.zip.SetRootDir(t_.file("src"));
        bench.zip.SetPackLevel(1);
        bench.add({t_.file("src/sub/big.bin")});
        archive_ = bench.archive;
        t_.write("dest/sub/big.bin", "the user's own copy");
        t_.write("dest/sub/notes.txt", "notes");
    }

    // A restore of the archive into dest, killed when the entry is half written.
    bool killRestore(bool unnamedAllowed) {
        return test::killedAtHalt([&](const std::function<void()>& halt) {
            TempFileBeside::SetUnnamedAllowed(unnamedAllowed);
            test::ScriptedUiHost ui;
            FakeVolumeService volumes;
            TZipReader zip(ui, volumes);
            test::configureExtractAll(zip, archive_, dest_);
            zip.OnFilePercentDone = [&](TZipReader&, int percent) {
                if (percent >= 50 && percent < 100)
                    halt();
            };
            zip.ExtractArchive();
        });
    }

    test::TempDir t_;
    std::string archive_;
    std::string dest_ = t_.file("dest");
    std::string sub_ = t_.file("dest/sub");
};

} // namespace

TEST_F(ZipExtractKilled, PrefixedLeftoverIsNeverArchivedAndTheNextRestoreRemovesIt) {
    const auto before = test::directoryContents(sub_);
    ASSERT_TRUE(killRestore(false));
    const auto after = test::directoryContents(sub_);
    ASSERT_EQ(after.size(), before.size() + 1); // the killed restore's file
    EXPECT_EQ(test::withoutTempFiles(after), before);

    // A backup of the directory leaves it out, found by a search or named.
    std::string leftover;
    for (const auto& [name, bytes] : after)
        if (TempFileBeside::IsTempFileName(name))
            leftover = sub_ + "/" + name;
    test::TempDir other;
    test::WriterBench backup(other);
    backup.zip.SetRecurse(true);
    backup.add({dest_ + "/*", leftover});
    const std::string entries = test::entrySummary(backup.archive);
    EXPECT_NE(entries.find("notes.txt"), std::string::npos) << entries;
    EXPECT_EQ(entries.find("kordyne-tmp"), std::string::npos) << entries;

    // The next restore, on a file system without unnamed files too, removes it.
    TempFileBeside::SetUnnamedAllowed(false);
    test::ScriptedUiHost ui;
    FakeVolumeService volumes;
    TZipReader zip(ui, volumes);
    test::configureExtractAll(zip, archive_, dest_);
    EXPECT_EQ(zip.ExtractArchive(), 1);
    TempFileBeside::SetUnnamedAllowed(true);
    const auto restored = test::directoryContents(sub_);
    EXPECT_EQ(restored, (std::map<std::string, std::string>{
                            {"big.bin", test::fileBytes(t_.file("src/sub/big.bin"))},
                            {"notes.txt", "notes"}}));
}

} // namespace kd
