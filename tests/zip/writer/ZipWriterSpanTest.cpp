// Archives spanned over simulated removable disks.
#include <gtest/gtest.h>

#include <filesystem>

#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterPartsTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"
#include "zip/writer/ZipWriterSpan.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A removable drive (a directory on the fake volume service) and a pile of disks of
// one capacity. The disk in the drive is the drive's content; ejecting it moves the
// content and the label to the disk's own store.
class DiskDrive {
public:
    DiskDrive(const test::TempDir& t, FakeVolumeService& volumes, std::uint64_t capacity)
        : drive(t.file("drive")), store_(t.file("disks")), volumes_(volumes), capacity_(capacity) {
        volumes_.addVolume("/", false, 1u << 30);
        volumes_.addVolume(drive, true, 0);
        insert(1);
    }

    void insert(int disk) {
        eject();
        fs::create_directories(drive);
        const std::string home = diskDir(disk);
        if (fs::exists(home))
            for (const auto& entry : fs::directory_iterator(home))
                fs::rename(entry.path(), drive + "/" + entry.path().filename().string());
        volume().label = labels[disk];
        in_ = disk;
        measure();
    }
    // The disk's free space, after files were deleted (a real file system tells).
    void measure() {
        std::uint64_t used = 0;
        for (const auto& entry : fs::directory_iterator(drive))
            used += entry.file_size();
        volume().freeSpace = capacity_ - used;
    }
    // Leaves the drive empty (no disk).
    void eject() {
        if (in_ == 0)
            return;
        const std::string home = diskDir(in_);
        fs::create_directories(home);
        for (const auto& entry : fs::directory_iterator(drive))
            fs::rename(entry.path(), home + "/" + entry.path().filename().string());
        labels[in_] = volume().label;
        fs::remove(drive);
        in_ = 0;
    }
    // Deletes the files of the disk in the drive.
    void wipe() {
        for (const auto& entry : fs::directory_iterator(drive))
            fs::remove(entry.path());
        measure();
    }
    int in() const { return in_; }
    // The file name on a disk (wherever the disk is).
    std::string fileOn(int disk, const std::string& name) const {
        return (disk == in_ ? drive : diskDir(disk)) + "/" + name;
    }
    // The disks' "backup.zip" in order.
    std::vector<std::string> parts(int count) const {
        std::vector<std::string> names;
        for (int n = 1; n <= count; ++n)
            names.push_back(fileOn(n, "backup.zip"));
        return names;
    }

    const std::string drive;
    std::map<int, std::optional<std::string>> labels;

private:
    std::string diskDir(int disk) const { return store_ + "/" + std::to_string(disk); }
    FakeVolumeService::Volume& volume() { return *volumes_.find(drive); }

    std::string store_;
    FakeVolumeService& volumes_;
    std::uint64_t capacity_;
    int in_ = 0;
};

// A writer spanning t/src over disks of 150000 bytes.
class ZipWriterSpanned : public ::testing::Test {
protected:
    ZipWriterSpanned() {
        zip().SetZipName(drive_.drive + "/backup.zip");
        zip().SetRootDir(source_.root);
        zip().SetRelativePaths(true);
        zip().SetTempPath(t_.file("tmp"));
        fs::create_directories(t_.file("tmp"));
        zip().SetMultiMode(TMultiMode::mmSpan);
        zip().OnGetNextDisk = [this](TZipReader&, int n, std::string&) {
            asked_.push_back(n);
            drive_.insert(n);
        };
        zip().OnPrepareNextDisk = [this](TZipWriter&, int n) {
            prepared_.push_back(n);
            drive_.measure();
        };
    }
    TZipWriter& zip() { return bench_.zip; }
    int write() {
        zip().SetZipName(drive_.drive + "/backup.zip");
        return bench_.add({"*"});
    }
    // A reader that inserts each disk it asks for.
    void configureReader(TZipReader& reader) {
        reader.OnGetNextDisk = [this](TZipReader&, int n, std::string&) { drive_.insert(n); };
    }

    test::TempDir t_;
    test::PartsSource source_{t_};
    test::WriterBench bench_{t_};
    DiskDrive drive_{t_, bench_.volumes, 150000};
    std::vector<int> asked_, prepared_;
};

} // namespace

TEST_F(ZipWriterSpanned, FillsLabelsAndNamesEachDiskAndReadsBack) {
    zip().MultiZipInfo().SetSaveOnFirstDisk(40000);
    zip().MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
    EXPECT_EQ(write(), source_.count());
    const int disks = drive_.in() == 1 ? static_cast<int>(asked_.size()) : 0;
    ASSERT_GE(disks, 3) << "the last request is for the first disk, for the .zfc";
    EXPECT_EQ(asked_.back(), 1);
    EXPECT_EQ(prepared_, std::vector<int>(asked_.begin(), asked_.end() - 1));
    for (int n = 1; n <= disks; ++n) {
        EXPECT_EQ(drive_.labels[n].value_or(""), "PKBACK# 00" + std::to_string(n)) << n;
        // The first disk keeps room for the .zfc: the reserve and an estimate per file.
        const auto firstRoom = 150000u - 40000u - (83u * source_.count() + 2070u);
        EXPECT_LE(fs::file_size(drive_.fileOn(n, "backup.zip")), n == 1 ? firstRoom : 150000u);
    }
    EXPECT_TRUE(fs::exists(drive_.fileOn(1, "backup.zfc")));
    EXPECT_EQ(zip().MultiZipInfo().SaveOnFirstDisk(), 40000) << "kept free per run, not grown";
    EXPECT_TRUE(test::filesIn(t_.file("tmp")).empty());
    const auto firstSize = fs::file_size(drive_.fileOn(1, "backup.zip"));

    // The reader checks the labels as it asks for each disk.
    drive_.insert(disks);
    TZipReader reader(bench_.ui, bench_.volumes);
    configureReader(reader);
    test::configureExtractAll(reader, drive_.drive + "/backup.zip", t_.file("extracted"));
    EXPECT_EQ(reader.ExtractArchive(), source_.count());
    EXPECT_EQ(test::treeListing(t_.file("extracted")), test::treeListing(source_.root));
    EXPECT_EQ(reader.GetMultiMode(), TMultiMode::mmSpan);

    // With the first disk in, the directory comes from its .zfc.
    drive_.insert(1);
    TZipReader fromFirst(bench_.ui, bench_.volumes);
    fromFirst.SetZipName(drive_.drive + "/backup.zip");
    fromFirst.OpenAndReadDirectory();
    EXPECT_EQ(fromFirst.GetEntryCount(), source_.count());

    test::joinWithInfoZip(t_, drive_.parts(disks));

    // A second run, on the first disk wiped, keeps as much free as the first run did.
    drive_.wipe();
    EXPECT_EQ(write(), source_.count());
    EXPECT_EQ(fs::file_size(drive_.fileOn(1, "backup.zip")), firstSize);
}

TEST_F(ZipWriterSpanned, TheFirstDiskKeepsRoomForTheArchiveComment) {
    const std::string comment(20000, 'c');
    zip().SetArchiveComment(comment);
    zip().MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
    EXPECT_EQ(write(), source_.count());
    // The .zfc file ends with the end record, and so with the comment.
    const auto firstRoom = 150000u - (83u * source_.count() + 2070u + comment.size());
    EXPECT_LE(fs::file_size(drive_.fileOn(1, "backup.zip")), firstRoom);
    EXPECT_GE(fs::file_size(drive_.fileOn(1, "backup.zfc")), comment.size());

    const int disks = static_cast<int>(asked_.size()); // the last request is for disk 1
    drive_.insert(disks);
    TZipReader reader(bench_.ui, bench_.volumes);
    configureReader(reader);
    reader.SetZipName(drive_.drive + "/backup.zip");
    reader.OpenAndReadDirectory();
    EXPECT_TRUE(reader.GetArchiveComment() == comment);
}

TEST_F(ZipWriterSpanned, TheDiskJustWrittenOrAnEmptyDriveIsAskedForAgain) {
    bool swapped = false, ejected = false;
    zip().OnGetNextDisk = [&](TZipReader&, int n, std::string&) {
        asked_.push_back(n);
        if (n == 2 && !std::exchange(swapped, true))
            return; // disk 1 is left in: its part must not be taken for disk 2's old file
        if (n == 3 && !std::exchange(ejected, true))
            return drive_.eject();
        drive_.insert(n);
    };
    EXPECT_EQ(write(), source_.count());
    ASSERT_GE(asked_.size(), 4u);
    EXPECT_EQ(std::vector<int>(asked_.begin(), asked_.begin() + 4), (std::vector<int>{2, 2, 3, 3}));
    test::joinWithInfoZip(t_, drive_.parts(asked_.back()));
}

TEST_F(ZipWriterSpanned, ACancelledDiskRequestLeavesTheDiskInTheDriveAsItWas) {
    // The handler of the program cancels the running operation on "No".
    zip().OnGetNextDisk = [&](TZipReader& sender, int n, std::string& name) {
        if (n == 3)
            return sender.CancelRunningOperation();
        drive_.insert(n);
        name = drive_.drive + "/backup.002";
    };
    try {
        write();
        FAIL() << "written";
    } catch (const EUserCanceled& e) {
        EXPECT_STREQ(e.what(), "User canceled Zip operation");
    }
    // Disk 2, still in the drive, loses its part and its label; disk 1 was taken out
    // with its part.
    EXPECT_TRUE(test::filesIn(drive_.drive).empty());
    EXPECT_EQ(drive_.labels[2], std::nullopt);
    drive_.insert(1);
    EXPECT_EQ(test::filesIn(drive_.drive), std::vector<std::string>{"backup.zip"});
    EXPECT_EQ(drive_.labels[1].value_or(""), "PKBACK# 001");
    EXPECT_TRUE(test::filesIn(t_.file("tmp")).empty());

    // Without a handler the box asks; the silent answer is Cancel. The first disk
    // keeps its label and gets no part (a full one without an end record would read
    // as an empty archive and leave the next run no room), and nothing else of the run.
    zip().OnGetNextDisk = nullptr;
    drive_.labels[4] = "HOLIDAY";
    drive_.insert(4);
    t_.write("drive/notes.txt", "the user's");
    drive_.measure();
    EXPECT_THROW(write(), EUserCanceled);
    ASSERT_FALSE(bench_.ui.shown.empty());
    EXPECT_EQ(bench_.ui.shown.back().text, "Please insert disk 2 of the multi-disk set.");
    EXPECT_EQ(test::filesIn(drive_.drive), std::vector<std::string>{"notes.txt"});
    drive_.eject();
    EXPECT_EQ(drive_.labels[4], "HOLIDAY");

    // The next run has the whole disk.
    zip().OnGetNextDisk = [this](TZipReader&, int n, std::string&) { drive_.insert(n); };
    drive_.insert(4);
    EXPECT_EQ(write(), source_.count());
}

TEST_F(ZipWriterSpanned, ADiskThatFillsEarlyFailsTheRun) {
    // Files smaller than the limit, so that the part, not the data file, hits it.
    for (int i = 0; i < 10; ++i)
        t_.write("small/" + std::to_string(i) + ".bin", test::randomBytes(20000, i));
    zip().SetRootDir(t_.file("small"));
    {
        test::FileSizeLimit limit(50000);
        EXPECT_THROW(write(), Exception);
    }
    EXPECT_TRUE(test::filesIn(drive_.drive).empty());
    EXPECT_TRUE(test::filesIn(t_.file("tmp")).empty());
}

TEST_F(ZipWriterSpanned, AnOlderArchiveOnTheFirstDiskGoesOnlyOnceTheRunIsPastThatDisk) {
    const std::string older = "an older archive the user still has";
    zip().MultiZipInfo().SetSaveZipInfoOnFirstDisk(true);
    const auto withOlderArchive = [&] {
        drive_.eject();
        drive_.labels[1] = "HOLIDAY";
        drive_.insert(1);
        t_.write("drive/backup.zip", older);
        drive_.measure();
    };
    // Cancelled or failed at the question for disk 2, while disk 1 is still in the
    // drive: disk 1 is as it was.
    const std::vector<std::function<void(TZipReader&)>> endings = {
        [](TZipReader& sender) { sender.CancelRunningOperation(); },
        [](TZipReader&) { throw Exception("the drive broke"); },
    };
    for (std::size_t i = 0; i < endings.size(); ++i) {
        SCOPED_TRACE(i);
        withOlderArchive();
        zip().OnGetNextDisk = [&](TZipReader& sender, int, std::string&) { endings[i](sender); };
        EXPECT_THROW(write(), Exception);
        EXPECT_EQ(test::filesIn(drive_.drive), std::vector<std::string>{"backup.zip"});
        EXPECT_EQ(test::fileBytes(drive_.drive + "/backup.zip"), older);
        drive_.eject();
        EXPECT_EQ(drive_.labels[1], "HOLIDAY");
    }

    // A run that gets past disk 1 replaces the archive; disk 1, back for the directory
    // file, keeps nothing of the older one, nor does disk 2 of what a broken-off run
    // kept on it when it was a first disk.
    drive_.insert(2);
    t_.write("drive/.kordyne-tmp-kept", older);
    withOlderArchive();
    zip().OnGetNextDisk = [this](TZipReader&, int n, std::string&) { drive_.insert(n); };
    EXPECT_EQ(write(), source_.count());
    ASSERT_EQ(drive_.in(), 1);
    EXPECT_EQ(test::filesIn(drive_.drive), (std::vector<std::string>{"backup.zfc", "backup.zip"}));
    EXPECT_NE(test::fileBytes(drive_.drive + "/backup.zip"), older);
    EXPECT_FALSE(fs::exists(drive_.fileOn(2, ".kordyne-tmp-kept")));
}
