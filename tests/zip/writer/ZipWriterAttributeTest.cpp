// Runs that take only files with the archive attribute set and reset it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/ArchiveAttributeStore.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

namespace {

class ZipWriterAttribute : public ::testing::TestWithParam<int> {};

// On one thread the writer looks at each attribute itself, on several the workers do.
TEST_P(ZipWriterAttribute, SecondRunTakesOnlyTheFileEditedSince) {
    test::TempDir t;
    t.write("tree/a.txt", "a");
    t.write("tree/b.txt", "b");
    t.write("tree/sub/c.txt", "c");
    test::ScriptedUiHost ui;
    FakeVolumeService volumes;
    ArchiveAttributeStore attributes(t.file("state/archived.idx"));
    TZipWriter zip(ui, volumes, attributes);
    zip.SetThreads(GetParam());
    zip.SetRootDir(t.file("tree"));
    zip.SetRelativePaths(true);
    zip.SetSkipIfArchiveBitNotSet(true);
    zip.SetResetArchiveBitOnZip(true);
    std::vector<std::uint32_t> attributesSeen;
    zip.OnStartZip = [&](TZipWriter&, const std::string&, TZipHeaderInfo& header, bool&) {
        attributesSeen.push_back(header.ExternalAttributes & 0xFF); // the DOS attributes
    };

    zip.SetZipName(t.file("first.zip"));
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 3);
    EXPECT_EQ(attributesSeen, (std::vector<std::uint32_t>{0x20, 0x20, 0x20}));

    // One file edited; a run cancelled before it resets nothing.
    std::ofstream(t.file("tree/b.txt"), std::ios::app) << " edited";
    zip.SetZipName(t.file("second.zip"));
    zip.OnStartZipInfo = [](TZipWriter&, int, std::int64_t, TEndCentral&, bool& stop) {
        stop = true;
    };
    zip.SetFilesList({"*.*"});
    EXPECT_THROW(zip.AddFilesToArchive(), EUserCanceled);
    zip.OnStartZipInfo = nullptr;
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 1);
    EXPECT_EQ(zip.GetEntryCount(), 1);
    EXPECT_EQ(zip.GetEntryFileName(0), "b.txt");

    zip.SetZipName(t.file("third.zip"));
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 0);

    // Without the selection every file goes in, marked as archived.
    zip.SetSkipIfArchiveBitNotSet(false);
    attributesSeen.clear();
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 3);
    EXPECT_EQ(attributesSeen, (std::vector<std::uint32_t>{0, 0, 0}));
}

INSTANTIATE_TEST_SUITE_P(Threads, ZipWriterAttribute, ::testing::Values(1, 4));

} // namespace
