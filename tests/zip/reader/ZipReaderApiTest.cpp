// The reader's surface: properties, accessors, views, listing, prompts.
#include <gtest/gtest.h>

#include "platform/FakeVolumeService.h"
#include "support/ScriptedUiHost.h"
#include "zip/support/ZipReaderTestSupport.h"

using namespace kd;
using test::mustRun;

namespace {

// Records where the choosers start.
class ChooserHost : public test::ScriptedUiHost {
public:
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter) override {
        auto chosen = ScriptedUiHost::chooseFile(caption, start, filter);
        calls.push_back(caption + "|" + start + "|" + filter);
        return chosen;
    }
    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override {
        calls.push_back(caption + "|" + start);
        return ScriptedUiHost::chooseDirectory(caption, start);
    }
    void setBusyCursor(bool busy) override { cursor += busy ? '+' : '-'; }
    std::vector<std::string> calls;
    std::string cursor; // hourglass on (+) and off (-)
};

class ZipReaderApi : public ::testing::Test {
protected:
    ZipReaderApi() : zip_(host_, volumes_) {}

    // Entries with known dates and sizes, stored in this order.
    std::string pythonArchive() {
        const std::string archive = t_.file("api.zip");
        mustRun(R"(python3 -c '
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as zf:
    def add(name, data, when, method=zipfile.ZIP_STORED, comment=b""):
        info = zipfile.ZipInfo(name, date_time=when)
        info.compress_type = method
        info.comment = comment
        zf.writestr(info, data)
    add("dir/Readme.TXT", "0123456789", (2024, 3, 7, 15, 5, 10), comment=b"hi")
    add("b.txt", "b" * 1000, (2024, 3, 7, 0, 30, 0), zipfile.ZIP_DEFLATED)
    add("Sub/a.txt", "", (2024, 3, 7, 15, 5, 10))
    add("dir/", "", (2023, 1, 1, 12, 0, 0))
' )" + archive);
        return archive;
    }

    test::TempDir t_;
    ChooserHost host_;
    FakeVolumeService volumes_;
    TZipReader zip_;
};

TEST_F(ZipReaderApi, AccessorsAndListingFollowTheView) {
    zip_.SetZipName(pythonArchive());
    zip_.OpenAndReadDirectory();
    ASSERT_EQ(zip_.GetEntryCount(), 4);
    std::vector<std::string> lines;
    zip_.ListContents(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "readme.txt@\t03/07/24\t03:05pm\t      10\t      10\t100%\tstor\tdir/",
                         "b.txt\t03/07/24\t12:30am\t    1000\t      11\t  1%\tdef\t",
                         "a.txt\t03/07/24\t03:05pm\t       0\t       0\t  0%\tstor\tsub/",
                         "\t01/01/23\t12:00pm\t       0\t       0\t  0%\tstor\tdir/"}));
    EXPECT_EQ(zip_.GetEntryPath(0), "dir/");
    EXPECT_EQ(zip_.GetEntryMethodName(1), "DEF");
    EXPECT_EQ(zip_.GetEntryDiskNumber(1), 1);
    EXPECT_DOUBLE_EQ(zip_.GetEntryDateTime(0), encodeDateTime({2024, 3, 7, 15, 5, 10, 0}));

    zip_.SortDirectory(TZipSortMode::ByName);
    EXPECT_EQ(zip_.GetEntryFileName(0), "b.txt");
    EXPECT_EQ(zip_.GetEntryFileName(1), "");
    EXPECT_EQ(zip_.GetEntryFileName(2), "Readme.TXT");
    EXPECT_EQ(zip_.GetEntryFileName(3), "a.txt");
    zip_.SetSortMode(TZipSortMode::ByDate); // equal dates keep the stored order
    EXPECT_EQ(zip_.GetEntryFileName(0), "Readme.TXT");
    EXPECT_EQ(zip_.GetEntryFileName(1), "a.txt");
    zip_.SetEntrySelected(1, true);
    zip_.SortDirectory(TZipSortMode::ByNone);
    EXPECT_TRUE(zip_.Entry(2).Selected);
    EXPECT_FALSE(zip_.Entry(1).Selected);

    // A view chosen before the directory is read applies to it.
    TZipReader sorted;
    sorted.SetSortMode(TZipSortMode::ByUnCompressedSize);
    sorted.SetZipName(zip_.ZipName());
    sorted.OpenAndReadDirectory();
    EXPECT_EQ(sorted.GetEntryFileName(0), "b.txt");
}

TEST_F(ZipReaderApi, IndexOutsideTheDirectoryIsAListError) {
    zip_.SetZipName(pythonArchive());
    zip_.OpenAndReadDirectory();
    for (int index : {-1, 4}) {
        try {
            zip_.GetEntryFileName(index);
            FAIL() << index;
        } catch (const EListError& e) {
            EXPECT_EQ(e.what(), "Index " + std::to_string(index) + " is out of range");
        }
    }
    TZipReader none;
    EXPECT_THROW(none.GetEntryComment(0), EListError);
}

TEST_F(ZipReaderApi, EncryptedCommentedEntryIsMarkedInTheListing) {
    t_.write("tree/Readme.TXT", "secret text");
    mustRun("cd " + t_.file("tree") +
            " && zip -q -P pw ../enc.zip Readme.TXT && printf '@ "
            "Readme.TXT\\nnote\\n@ (comment above this line)\\n' | zipnote -w ../enc.zip");
    zip_.SetZipName(t_.file("enc.zip"));
    zip_.OpenAndReadDirectory();
    std::vector<std::string> lines;
    zip_.ListContents(lines);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(0, 13), "readme.txt#@\t");
    EXPECT_TRUE(zip_.GetEntryEncrypted(0));
}

TEST_F(ZipReaderApi, PropertiesKeepTheirForms) {
    zip_.SetDestDir("/data/out/");
    EXPECT_EQ(zip_.DestDir(), "/data/out");
    zip_.SetRootDir("data");
    EXPECT_EQ(zip_.RootDir(), "data/");
    zip_.SetRootDir("");
    EXPECT_EQ(zip_.RootDir(), "");

    host_.chooseNext(t_.path());
    zip_.SetDestDir("?");
    EXPECT_EQ(zip_.DestDir(), t_.path());
    try {
        zip_.SetDestDir("?"); // nothing chosen
        FAIL() << "no chooser answer";
    } catch (const EUserCanceled& e) {
        EXPECT_STREQ(e.what(), "User canceled Set Desination Directory");
    }
    EXPECT_EQ(host_.calls.back(), "|" + t_.path()); // starts at the current destination
    EXPECT_EQ(zip_.DestDir(), t_.path());
}

TEST_F(ZipReaderApi, QuestionMarkNameLetsTheUserChooseTheArchive) {
    const std::string archive = pythonArchive();
    host_.chooseNext(archive);
    zip_.SetZipName(t_.path() + "/?");
    EXPECT_EQ(zip_.ZipName(), archive);
    EXPECT_EQ(host_.calls.back(), "Open a Zip File|" + t_.path() +
                                      "|Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files "
                                      "(*.JAR)|*.jar|All Files (*.*)|*.*");
    try {
        zip_.SetZipName("/no/such/dir/?");
        FAIL() << "no chooser answer";
    } catch (const EUserCanceled& e) {
        EXPECT_STREQ(e.what(), "User canceled setting zip file name.");
    }
    EXPECT_EQ(host_.calls.back().substr(0, 17), "Open a Zip File|/");
    EXPECT_EQ(host_.calls.back().substr(16, 2), "/|");
    EXPECT_EQ(zip_.ZipName(), archive);
}

TEST_F(ZipReaderApi, NextDiskNamesPartFilesAndAsksForDisks) {
    std::string name = "/a/b.zip";
    zip_.SetMultiMode(TMultiMode::mmBlocks);
    zip_.PromptNextDisk(12, name);
    EXPECT_EQ(name, "/a/b.012");
    EXPECT_TRUE(host_.shown.empty());

    zip_.SetMultiMode(TMultiMode::mmSpan);
    host_.answerNext(MsgAnswer::Ok);
    name = "/media/floppy/b.zip";
    zip_.PromptNextDisk(2, name);
    EXPECT_EQ(name, "/media/floppy/b.zip");
    zip_.PromptNextDisk(3, name); // cancelled
    EXPECT_EQ(name, "");
    ASSERT_EQ(host_.shown.size(), 2u);
    EXPECT_EQ(host_.shown[0].text, "Please insert disk 2 of the multi-disk set.");
    EXPECT_EQ(host_.cursor, "-+-+");
}

TEST_F(ZipReaderApi, AssignCopiesSettingsAndHandlersNotThePassword) {
    zip_.SetZipName(pythonArchive());
    zip_.SetDestDir("/out");
    zip_.SetFilesList({"*.txt"});
    zip_.SetPassword("pw");
    int fired = 0;
    zip_.OnUnZipComplete = [&](TZipReader&, int) { ++fired; };
    TZipReader copy(host_, volumes_);
    copy.Assign(zip_);
    EXPECT_EQ(copy.ZipName(), zip_.ZipName());
    EXPECT_EQ(copy.DestDir(), "/out");
    EXPECT_EQ(copy.FilesList(), std::vector<std::string>{"*.txt"});
    EXPECT_EQ(copy.Password(), "");
    copy.OnUnZipComplete(copy, 0);
    EXPECT_EQ(fired, 1);
    // The default disk prompt acts for whichever component fires it.
    copy.SetMultiMode(TMultiMode::mmBlocks);
    std::string name = "/x/y.zip";
    copy.OnGetNextDisk(copy, 2, name);
    EXPECT_EQ(name, "/x/y.002");
}

} // namespace

TEST_F(ZipReaderApi, NamesFromWindowsSplitAtBackslashesInAccessorsAndSorts) {
    const std::string archive = t_.file("win.zip");
    mustRun(R"(python3 -c '
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as zf:
    zf.writestr("a\\zeta.txt", "z")
    zf.writestr("b\\sub\\alpha.txt", "a")
    zf.writestr("mixed/x\\name:with-colon.txt", "c")
' )" + archive);
    zip_.SetZipName(archive);
    zip_.OpenAndReadDirectory();
    ASSERT_EQ(zip_.GetEntryCount(), 3);
    EXPECT_EQ(zip_.GetEntryPath(1), "b/sub/");
    EXPECT_EQ(zip_.GetEntryFileName(1), "alpha.txt");
    EXPECT_EQ(zip_.GetEntryPath(2), "mixed/x/");
    EXPECT_EQ(zip_.GetEntryFileName(2), "name:with-colon.txt");

    zip_.SortDirectory(TZipSortMode::ByFileName);
    EXPECT_EQ(zip_.GetEntryFileName(0), "alpha.txt");
    EXPECT_EQ(zip_.GetEntryFileName(1), "name:with-colon.txt");
    EXPECT_EQ(zip_.GetEntryFileName(2), "zeta.txt");
    zip_.SortDirectory(TZipSortMode::ByDirectoryName);
    EXPECT_EQ(zip_.GetEntryPath(0), "a/");
    EXPECT_EQ(zip_.GetEntryPath(2), "mixed/x/");
}
