// Multi-part sets: numbered part files, the ".zfc" side file, spanned disks.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/FakeVolumeService.h"
#include "support/ScriptedUiHost.h"
#include "zip/format/ZfcFile.h"
#include "zip/support/ZipReaderTestSupport.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// A set written by Info-ZIP with 64 KiB parts whose central directory starts on one
// part and ends on the next, its parts renamed to set.001 ... set.005, and the same
// archive joined into one file for the oracle.
class ZipReaderSets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        for (int i = 1; i <= 700; ++i)
            dir_->write("src/many/file_with_a_rather_long_name_number_" + std::to_string(i) +
                            ".txt",
                        std::to_string(i));
        dir_->write("src/big.bin", test::randomBytes(150000));
        test::mustRun("cd " + dir_->file("src") +
                      " && printf 'set comment' | zip -q -s 64k -z -r set.zip big.bin many"
                      " && zip -q -s 0 set.zip --out joined.zip");
        oracle_ = test::zipfileListing(dir_->file("src/joined.zip"));
        // .z01 .. .z04 then .zip become .001 .. .005
        for (int n = 1; n <= 4; ++n)
            fs::rename(dir_->file("src/set.z0" + std::to_string(n)),
                       dir_->file("src/set.00" + std::to_string(n)));
        fs::rename(dir_->file("src/set.zip"), dir_->file("src/set.005"));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    // A fresh copy of the parts in t/name/.
    std::string copyParts(const std::string& name) const {
        const std::string target = t_.file(name);
        fs::create_directories(target);
        for (int n = 1; n <= 5; ++n)
            fs::copy_file(part(n), target + "/set.00" + std::to_string(n));
        return target;
    }
    static std::string part(int n) { return dir_->file("src/set.00" + std::to_string(n)); }

    static test::TempDir* dir_;
    static std::string oracle_;
    test::TempDir t_;
};

test::TempDir* ZipReaderSets::dir_ = nullptr;
std::string ZipReaderSets::oracle_;

TEST_F(ZipReaderSets, NumberedPartsReadAcrossParts) {
    const std::string d = copyParts("parts");
    TZipReader zip;
    zip.SetZipName(d + "/set.005");
    zip.OpenAndReadDirectory();
    EXPECT_EQ(zip.GetMultiMode(), TMultiMode::mmBlocks);
    EXPECT_EQ(zip.GetEntryCount(), 702);
    EXPECT_EQ(test::readerListing(zip), oracle_);
    // The directory started on part 4 and ended on part 5.
    EXPECT_EQ(zip.ZipName(), d + "/set.005");
    EXPECT_EQ(zip.GetEntryDiskNumber(0), 1);
    EXPECT_EQ(zip.GetEntryDiskNumber(zip.GetEntryCount() - 1), 4);
}

TEST_F(ZipReaderSets, SideFileStandsInForTheMissingLastPart) {
    const std::string d = copyParts("zfc");
    // The side file: the central directory as it lies on parts 4 and 5, then the end
    // record with its comment.
    test::mustRun("cd " + d + R"( && python3 -c '
import struct
last = open("set.005", "rb").read()
i = last.rfind(b"PK\x05\x06")
cdisk, size, offset = struct.unpack("<4x2xH4xLL", last[i:i + 20])
data = b"".join(open("set.00%d" % n, "rb").read() for n in range(cdisk + 1, 6))
open("set.zfc", "wb").write(data[offset:offset + size] + last[i:])
')" + " && rm set.005");
    TZipReader zip;
    zip.SetZipName(d + "/set.001");
    zip.OpenAndReadDirectory();
    EXPECT_EQ(zip.GetMultiMode(), TMultiMode::mmBlocks);
    EXPECT_EQ(test::readerListing(zip), oracle_);
    EXPECT_EQ(zip.GetArchiveComment(), "set comment");
    EXPECT_EQ(zip.ZipName(), d + "/set.001");
}

TEST_F(ZipReaderSets, MissingPartIsAClearErrorNotAHang) {
    const std::string d = copyParts("missing");
    fs::remove(d + "/set.004");
    TZipReader zip;
    zip.SetZipName(d + "/set.005");
    // Asking again cannot make a part file appear: one request, then the error.
    int requests = 0;
    zip.OnGetNextDisk = [&requests](TZipReader& reader, int n, std::string& name) {
        ++requests;
        reader.PromptNextDisk(n, name);
    };
    try {
        zip.OpenAndReadDirectory();
        FAIL() << "opened";
    } catch (const EMissingVolume& e) {
        EXPECT_NE(std::string(e.what()).find("set.004"), std::string::npos) << e.what();
    }
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(zip.GetEntryCount(), 0);
    EXPECT_EQ(zip.ZipName(), "");
}

// Simulated disks: one removable drive whose file and label the "user" swaps when
// asked for a disk.
class DiskSwapper : public test::ScriptedUiHost {
public:
    DiskSwapper(FakeVolumeService& volumes, std::string drive, std::map<int, std::string> parts)
        : volumes_(volumes), drive_(std::move(drive)), parts_(std::move(parts)) {}

    void insert(int disk, std::optional<std::string> label) {
        fs::copy_file(parts_.at(disk), drive_ + "/backup.zip",
                      fs::copy_options::overwrite_existing);
        volumes_.find(drive_)->label = std::move(label);
    }

    MsgAnswer messageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override {
        const MsgAnswer answer = ScriptedUiHost::messageBox(text, caption, buttons, icon);
        const int disk = text.back() == '.' ? std::stoi(text.substr(19)) : 0;
        if (answer == MsgAnswer::Ok && disk > 0) {
            const bool wrong = wrongLabelsLeft > 0 && wrongLabelsLeft--;
            insert(disk, "PKBACK# 00" + std::to_string(wrong ? disk + 1 : disk));
        }
        return answer;
    }

    int wrongLabelsLeft = 0;

private:
    FakeVolumeService& volumes_;
    std::string drive_;
    std::map<int, std::string> parts_;
};

class ZipReaderSpanned : public ZipReaderSets {
protected:
    ZipReaderSpanned()
        : drive_(t_.file("floppy")), swapper_(volumes_, drive_, {{4, part(4)}, {5, part(5)}}),
          zip_(swapper_, volumes_) {
        fs::create_directories(drive_);
        volumes_.addVolume("/", false);
        volumes_.addVolume(drive_, true);
        swapper_.insert(5, "PKBACK# 005");
        zip_.SetZipName(drive_ + "/backup.zip");
    }

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const auto& shown : swapper_.shown)
            texts.push_back(shown.text);
        return texts;
    }

    FakeVolumeService volumes_;
    std::string drive_;
    DiskSwapper swapper_;
    TZipReader zip_;
};

TEST_F(ZipReaderSpanned, AsksForEachDiskAndReadsAcrossThem) {
    for (int i = 0; i < 2; ++i)
        swapper_.answerNext(MsgAnswer::Ok);
    zip_.OpenAndReadDirectory();
    EXPECT_EQ(zip_.GetMultiMode(), TMultiMode::mmSpan);
    EXPECT_EQ(test::readerListing(zip_), oracle_);
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{"Please insert disk 4 of the multi-disk set.",
                                        "Please insert disk 5 of the multi-disk set."}));
    EXPECT_EQ(zip_.ZipName(), drive_ + "/backup.zip");
}

TEST_F(ZipReaderSpanned, DiskWithAnotherNumberIsRefusedAndAskedForAgain) {
    for (int i = 0; i < 3; ++i)
        swapper_.answerNext(MsgAnswer::Ok);
    swapper_.wrongLabelsLeft = 1;
    zip_.OpenAndReadDirectory();
    EXPECT_EQ(zip_.GetEntryCount(), 702);
    EXPECT_EQ(boxTexts(),
              (std::vector<std::string>{"Please insert disk 4 of the multi-disk set.",
                                        "Please insert disk 4 of the multi-disk set.",
                                        "Please insert disk 5 of the multi-disk set."}));
}

TEST_F(ZipReaderSpanned, LabelChecksCanBeSwitchedOffAndUnlabelledDisksPass) {
    zip_.SetCheckDiskLabels(false);
    swapper_.wrongLabelsLeft = 2;
    for (int i = 0; i < 2; ++i)
        swapper_.answerNext(MsgAnswer::Ok);
    zip_.OpenAndReadDirectory();
    EXPECT_EQ(zip_.GetEntryCount(), 702);

    // Labels cannot be written on Linux: a disk without one is taken on trust.
    TZipReader other(swapper_, volumes_);
    swapper_.insert(5, std::nullopt);
    zip_.OnGetNextDisk = [&](TZipReader&, int n, std::string&) {
        swapper_.insert(n, std::nullopt);
    };
    other.Assign(zip_);
    other.SetZipName(drive_ + "/backup.zip");
    other.OpenAndReadDirectory();
    EXPECT_EQ(other.GetEntryCount(), 702);
}

TEST_F(ZipReaderSpanned, CancellingTheDiskRequestStopsTheRead) {
    try {
        zip_.OpenAndReadDirectory(); // the silent answer to the box is Cancel
        FAIL() << "opened";
    } catch (const EUserCanceled& e) {
        EXPECT_STREQ(e.what(), "User canceled loading new disk.");
    }
    EXPECT_EQ(zip_.GetEntryCount(), 0);
    EXPECT_EQ(zip_.ZipName(), "");

    // A handler that answers by cancelling the running operation.
    zip_.SetZipName(drive_ + "/backup.zip");
    zip_.OnGetNextDisk = [](TZipReader& sender, int, std::string&) {
        sender.CancelRunningOperation();
    };
    EXPECT_THROW(zip_.OpenAndReadDirectory(), EUserCanceled);
}

TEST_F(ZipReaderSpanned, AHandlerThatNeverBringsTheDiskEndsWithAnError) {
    int requests = 0;
    zip_.OnGetNextDisk = [&](TZipReader&, int, std::string&) { ++requests; };
    EXPECT_THROW(zip_.OpenAndReadDirectory(), EMissingVolume);
    EXPECT_GT(requests, 1);
    EXPECT_LE(requests, 20);
}

} // namespace
