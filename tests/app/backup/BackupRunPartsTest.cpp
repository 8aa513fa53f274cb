// Profiles that split their archive into numbered part files or span it over
// removable disks: the sets they write, their versions and their restore.
#include "app/core/logs/RunMessages.h"
#include "app/support/BackupRunFixture.h"
#include "app/support/RestoreFixture.h"

#include <gmock/gmock.h>

using namespace kd;
using namespace kd::test;
namespace fs = std::filesystem;

namespace {

// Joins the parts (in order) with Info-ZIP, which knows them as set.z01 ... set.zip,
// in a new directory under dir; expects "unzip -t" to pass on the result and returns
// its path.
std::string joined(const TempDir& dir, const std::vector<std::string>& parts) {
    static int sets = 0;
    const std::string set = dir.file("set" + std::to_string(++sets));
    fs::create_directories(set);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "set.z%02zu", i + 1);
        fs::copy_file(parts[i], set + "/" + (i + 1 == parts.size() ? "set.zip" : name));
    }
    std::string out;
    EXPECT_EQ(runCommand("cd '" + set + "' && zip -qs 0 set.zip --out joined.zip && " +
                             "unzip -tqq joined.zip",
                         &out),
              0)
        << out;
    return set + "/joined.zip";
}

class BackupRunPartsTest : public BackupRunFixture {
protected:
    BackupRunPartsTest() {
        profile.SplitMode = 1;
        profile.FirstPartSize = 16000;
        profile.NextPartSize = 24000;
    }
    // The parts base.001, base.002, ... that exist, in order.
    std::vector<std::string> partsOf(const std::string& base) {
        std::vector<std::string> parts;
        for (int n = 1;; ++n) {
            char extension[16];
            std::snprintf(extension, sizeof extension, ".%03d", n);
            if (!fs::exists(base + extension))
                return parts;
            parts.push_back(base + extension);
        }
    }
};

TEST_F(BackupRunPartsTest, SplitProfileWritesANumberedSetOfAllMasks) {
    noise("a.txt", 25000);
    noise("sub/b.bin", 30000, 2);
    file("c.dat", "left out");
    file("d.txt", "small");
    profile.Masks = "*.txt;*.bin";
    ASSERT_TRUE(run());
    const std::vector<std::string> parts = partsOf(target + "/P");
    ASSERT_GE(parts.size(), 3u);
    EXPECT_EQ(backup.lastOutcome().archive, parts.back());
    EXPECT_EQ(backup.lastOutcome().fileCount, 3u);
    EXPECT_FALSE(fs::exists(archive()));
    for (std::size_t i = 0; i < parts.size(); ++i)
        EXPECT_LE(fs::file_size(parts[i]), i == 0 ? 16000u : 24000u) << parts[i];
    EXPECT_EQ(entries(joined(dir, parts)),
              (std::vector<std::string>{"a.txt", "d.txt", "sub/", "sub/b.bin"}));

    // A smaller new set later leaves none of the longer set's parts behind.
    fs::remove(source + "/sub/b.bin");
    profile.NewArchive = true;
    ASSERT_TRUE(run());
    const std::vector<std::string> fewer = partsOf(target + "/P");
    EXPECT_LT(fewer.size(), parts.size());
    EXPECT_EQ(backup.lastOutcome().archive, fewer.back());
    EXPECT_EQ(entries(joined(dir, fewer)), (std::vector<std::string>{"a.txt", "d.txt"}));
}

TEST_F(BackupRunPartsTest, SplitVersionsRotateAsWholeSets) {
    noise("big.bin", 40000);
    profile.VersionsKept = 2;
    for (int run = 1; run <= 3; ++run) {
        file("run.txt", std::to_string(run));
        ASSERT_TRUE(this->run()) << run;
    }
    for (int k = 1; k <= 2; ++k) {
        const std::vector<std::string> parts = partsOf(target + "/P" + std::to_string(k));
        ASSERT_GE(parts.size(), 2u) << k;
        EXPECT_EQ(entryText(joined(dir, parts), "run.txt"), std::to_string(k + 1));
    }
    EXPECT_EQ(backup.lastOutcome().archive, partsOf(target + "/P2").back());
    EXPECT_TRUE(partsOf(target + "/P3").empty());
    EXPECT_FALSE(fs::exists(archive("P1.zip")));
}

TEST_F(BackupRunPartsTest, SplitProfileUpdatesItsSetAsASingleArchiveIs) {
    noise("a.txt", 25000);
    noise("sub/b.bin", 30000, 2);
    profile.Masks = "*.txt;*.bin";
    ASSERT_TRUE(run());
    // A file gone from the source keeps its entry; a changed one is replaced.
    fs::remove(source + "/sub/b.bin");
    file("a.txt", "changed");
    fs::last_write_time(source + "/a.txt",
                        fs::file_time_type::clock::now() + std::chrono::seconds(5));
    ASSERT_TRUE(run());
    const std::vector<std::string> parts = partsOf(target + "/P");
    ASSERT_GE(parts.size(), 2u);
    EXPECT_EQ(backup.lastOutcome().archive, parts.back());
    const std::string set = joined(dir, parts);
    EXPECT_EQ(entries(set), (std::vector<std::string>{"a.txt", "sub/", "sub/b.bin"}));
    EXPECT_EQ(entryText(set, "a.txt"), "changed");
}

TEST_F(BackupRunPartsTest, SetOfOnePartTakesTheArchivesName) {
    file("a.txt", "small");
    profile.VersionsKept = 1;
    ASSERT_TRUE(run());
    ASSERT_TRUE(run());
    EXPECT_EQ(backup.lastOutcome().archive, archive("P1.zip"));
    EXPECT_TRUE(partsOf(target + "/P1").empty());
    EXPECT_FALSE(fs::exists(archive("P2.zip")));
}

// A removable drive whose disks hold capacity bytes: the disk in the drive is the
// directory drive; when the run asks for the next disk, the full one is taken out
// (moved to its own store, its label kept) and an empty one goes in.
class BackupRunSpanTest : public BackupRunFixture {
protected:
    static constexpr std::uint64_t kCapacity = 40000;

    BackupRunSpanTest() {
        volumes.addVolume("/", false, 1u << 30);
        volumes.addVolume(drive, true, kCapacity);
        fs::create_directories(drive);
        profile.TargetDir = drive + "/";
        profile.SplitMode = 2;
        noise("a.bin", 30000);
        noise("sub/b.bin", 30000, 2);
        noise("sub/c.bin", 30000, 3);
        ui.beforeAnswer = [this](const std::string& text) {
            if (text == ResourceStrings.GetText(run_msg::InsertDisk))
                changeDisk();
        };
    }
    void changeDisk() {
        FakeVolumeService::Volume& volume = *volumes.find(drive);
        disks.push_back(dir.file("disk" + std::to_string(disks.size() + 1)));
        labels.push_back(volume.label.value_or(""));
        fs::rename(drive, disks.back());
        fs::create_directories(drive);
        volume.label.reset();
    }

    const std::string drive = dir.file("drive");
    std::vector<std::string> disks;  // the disks taken out, in order
    std::vector<std::string> labels; // their labels
};

TEST_F(BackupRunSpanTest, SpannedProfileAsksForEachDiskAndLabelsIt) {
    for (int i = 0; i < 8; ++i)
        ui.answerNext(MsgAnswer::Yes);
    ASSERT_TRUE(run());
    ASSERT_GE(disks.size(), 2u);
    // The first disk holds the archive's name, the later ones the disk's number.
    std::vector<std::string> parts{disks[0] + "/P.zip"};
    for (std::size_t n = 2; n <= disks.size(); ++n)
        parts.push_back(disks[n - 1] + "/P.00" + std::to_string(n));
    parts.push_back(drive + "/P.00" + std::to_string(disks.size() + 1));
    for (std::size_t n = 1; n <= parts.size(); ++n) {
        EXPECT_LE(fs::file_size(parts[n - 1]), kCapacity) << n;
        const std::string label =
            n <= labels.size() ? labels[n - 1] : volumes.find(drive)->label.value_or("");
        EXPECT_EQ(label, "PKBACK# 00" + std::to_string(n));
    }
    EXPECT_EQ(ui.shown.size(), disks.size());
    EXPECT_EQ(ui.shown[0].text, "Vlož prázdnou disketu");

    // Info-ZIP joins the disks' files as a split set.
    EXPECT_EQ(entries(joined(dir, parts)),
              (std::vector<std::string>{"a.bin", "sub/", "sub/b.bin", "sub/c.bin"}));
}

TEST_F(BackupRunSpanTest, RefusedDiskCancelsTheRun) {
    EXPECT_THROW(run(), SilentAbort); // the unscripted question is answered No
    EXPECT_FALSE(backup.lastOutcome().succeeded);
    EXPECT_FALSE(stampExists());
    EXPECT_EQ(ui.shown.size(), 1u);
}

// The restore of a split profile reads its newest set back.
using SplitRestoreTest = RestoreFixture;

TEST_F(SplitRestoreTest, SplitProfileRestoresFromItsParts) {
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    addProfile("pw", 2);
    create();
    TObjektZal& record = state.profiles.record(0);
    record.SplitMode = 1;
    record.FirstPartSize = 300;
    record.NextPartSize = 400;
    for (int run = 1; run <= 3; ++run) {
        dir.write("src/run.txt", std::to_string(run));
        ASSERT_EQ(runs_.RunBackup(record, 0), RunResult::Complete);
    }
    const auto newest = findNewestArchive(record);
    ASSERT_TRUE(newest);
    EXPECT_TRUE(newest->partSet);
    EXPECT_EQ(newest->version, 2);
    EXPECT_EQ(newest->path, runs_.backup().lastOutcome().archive);
    ASSERT_EQ(0, runCommand("cp '" + dir.file("src/run.txt") + "' '" + dir.file("orig") + "'"));
    changeTree();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    EXPECT_TRUE(treeRestored());
}

} // namespace
