#include "app/core/restore/ArchiveContents.h"
#include "platform/ArchiveAttributeFake.h"
#include "platform/FakeVolumeService.h"
#include "support/TempDir.h"
#include "zip/writer/TZipWriter.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace kd::test {
namespace {

// An archive written by Info-ZIP zip: plain, deflated and stored entries in
// subdirectories, an encrypted pair and an entry comment; all dated 5 March 2003.
class ArchiveContentsTest : public ::testing::Test {
protected:
    ArchiveContentsTest() {
        dir.write("src/readme.txt", std::string(3000, 'a') + "tail");
        dir.write("src/data/numbers.csv", "1;2;3\n4;5;6\n7;8;9\n");
        dir.write("src/data/deep/empty.bin", "");
        dir.write("src/noise.bin", std::string("\x01\x7f\xee\x10\x99", 5));
        dir.write("src/secret/pin.txt", std::string(500, 'p'));
        const std::string cd = "cd '" + dir.path() + "/src' && ";
        EXPECT_EQ(0, runCommand(cd + "find . -exec touch -d '2003-03-05 14:07:10' {} + && "
                                     "zip -qr ../a.zip readme.txt data noise.bin && "
                                     "zip -q -P pw ../a.zip secret/pin.txt && "
                                     "printf 'a note\\n' | zip -q -c ../a.zip readme.txt"));
        open("a.zip");
    }

    void open(const std::string& archive) {
        reader.SetZipName(dir.file(archive));
        reader.OpenAndReadDirectory();
    }
    // The same tree through our writer into w.zip, the secret directory encrypted.
    void writeOwnArchive() {
        FakeVolumeService volumes;
        ArchiveAttributeFake attributes;
        TZipWriter writer(ui, volumes, attributes);
        writer.SetZipName(dir.file("w.zip"));
        writer.SetRootDir(dir.file("src"));
        writer.SetRelativePaths(true);
        writer.SetAddDirEntriesOnRecurse(true);
        writer.SetFilesList({"readme.txt", "data/*", "noise.bin"});
        writer.AddFilesToArchive();
        writer.SetPassword("pw");
        writer.SetFilesList({"secret/pin.txt"});
        writer.AddFilesToArchive();
    }

    // The blank-separated words of each line a tool prints about the archive.
    std::vector<std::vector<std::string>> toolOutput(const std::string& tool) {
        std::string out;
        EXPECT_EQ(0, runCommand(tool + " '" + reader.ZipName() + "'", &out));
        std::vector<std::vector<std::string>> result;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            result.emplace_back();
            for (std::string word; fields >> word;)
                result.back().push_back(word);
        }
        return result;
    }
    // unzip -v's lines by name: length, method, size, ratio, date, time.
    std::map<std::string, std::vector<std::string>> unzipListing() {
        std::map<std::string, std::vector<std::string>> rows;
        for (const auto& f : toolOutput("unzip -v"))
            if (f.size() == 8 && f[0] != "Length" && f[0][0] != '-')
                rows[f[7]] = f;
        return rows;
    }
    // zipinfo -l's compressed sizes by name (they count the encryption header).
    std::map<std::string, std::string> zipinfoCompressed() {
        std::map<std::string, std::string> sizes;
        for (const auto& f : toolOutput("zipinfo -l"))
            if (f.size() == 10 && (f[2] == "unx" || f[2] == "fat"))
                sizes[f[9]] = f[5];
        return sizes;
    }

    void checkColumnsAgainstOracles();

    static std::string trimmed(const std::string& text) {
        const auto first = text.find_first_not_of(' ');
        return first == std::string::npos ? "" : text.substr(first);
    }

    TempDir dir;
    SilentUiHost ui;
    TZipReader reader;
};

TEST_F(ArchiveContentsTest, ColumnsMatchUnzipAndZipinfo) {
    writeOwnArchive();
    for (const char* archive : {"a.zip", "w.zip"}) {
        SCOPED_TRACE(archive);
        open(archive);
        checkColumnsAgainstOracles();
    }
}

void ArchiveContentsTest::checkColumnsAgainstOracles() {
    const auto listing = unzipListing();
    const auto compressed = zipinfoCompressed();
    ASSERT_EQ(reader.GetEntryCount(), static_cast<int>(listing.size()));
    for (int i = 0; i < reader.GetEntryCount(); ++i) {
        const ContentsRow row = contentsRow(reader, i);
        const std::string name = reader.Entry(i).FullName();
        SCOPED_TRACE(name);
        ASSERT_TRUE(listing.contains(name));
        const std::vector<std::string>& u = listing.at(name);
        EXPECT_EQ(trimmed(row[3]), u[0]);
        EXPECT_EQ(trimmed(row[4]), compressed.at(name));
        EXPECT_EQ(row[5], u[3]);
        EXPECT_EQ(row[6], u[1] == "Stored" ? "STOR" : "DEF");
        EXPECT_EQ(row[0].ends_with("+"), name == "secret/pin.txt");
        EXPECT_EQ(row[7] + reader.GetEntryFileName(i), name);
        EXPECT_EQ(row[8], "1");
        // unzip: "2003-03-05 14:07"; the list: "5.3.2003" and "14:07".
        EXPECT_EQ(u[4], "2003-03-05");
        EXPECT_EQ(row[1], "5.3.2003");
        EXPECT_EQ(u[5], "14:07");
        EXPECT_EQ(row[2], "14:07");
        EXPECT_EQ(row[3].size(), 8u);
        EXPECT_EQ(row[4].size(), 8u);
    }
}

TEST_F(ArchiveContentsTest, NameCarriesEncryptionAndCommentMarks) {
    std::map<std::string, std::string> shown;
    for (int i = 0; i < reader.GetEntryCount(); ++i)
        shown[reader.Entry(i).FullName()] = contentsRow(reader, i)[0];
    EXPECT_EQ(shown["readme.txt"], "readme.txt$");
    EXPECT_EQ(shown["secret/pin.txt"], "pin.txt+");
    EXPECT_EQ(shown["data/numbers.csv"], "numbers.csv");
    EXPECT_EQ(shown["data/"], "");
}

TEST_F(ArchiveContentsTest, NamesFromWindowsShowTheirPathInItsColumn) {
    ASSERT_EQ(0, runCommand("python3 -c 'import sys, zipfile\n"
                            "with zipfile.ZipFile(sys.argv[1], \"w\") as zf:\n"
                            "    zf.writestr(\"dir\\\\sub\\\\file.txt\", \"x\")' " +
                            dir.file("win.zip")));
    open("win.zip");
    const ContentsRow row = contentsRow(reader, 0);
    EXPECT_EQ(row[0], "file.txt");
    EXPECT_EQ(row[7], "dir/sub/");
}

TEST(CompressionRate, SavedSpaceRoundedAsUnzipShowsIt) {
    EXPECT_EQ(compressionRateText(15, 38, false), "61%");
    EXPECT_EQ(compressionRateText(27, 38, true), "61%"); // header not counted
    EXPECT_EQ(compressionRateText(1000, 1000, false), "0%");
    EXPECT_EQ(compressionRateText(0, 0, false), "0%");
    EXPECT_EQ(compressionRateText(12, 0, true), "0%");
    EXPECT_EQ(compressionRateText(3, 1, false), "-200%");
    EXPECT_EQ(compressionRateText(1005, 1000, false), "-1%");
}

TEST(SortMenu, ItemsCarryTheReaderOrders) {
    EXPECT_EQ(static_cast<int>(kSortMenuItems[0].mode), 1);
    EXPECT_EQ(static_cast<int>(kSortMenuItems[5].mode), 7);
    EXPECT_EQ(sortMenuItemOf(TZipSortMode::ByDate), 2);
    EXPECT_EQ(sortMenuItemOf(TZipSortMode::ByNone), 5);
    EXPECT_EQ(sortMenuItemOf(TZipSortMode::ByRate), -1);
}

} // namespace
} // namespace kd::test
