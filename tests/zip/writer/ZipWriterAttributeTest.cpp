// Runs that take only files with the archive attribute set and reset it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

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

// Attributes that count how often each file's was looked up.
class CountedAttributes : public ArchiveAttributeFake {
public:
    std::map<std::string, int> lookups() {
        const std::lock_guard lock(mutex_);
        return lookups_;
    }

protected:
    std::optional<ArchiveStamp> Recorded(const std::string& path) override {
        {
            const std::lock_guard lock(mutex_);
            ++lookups_[path];
        }
        return ArchiveAttributeFake::Recorded(path);
    }

private:
    std::mutex mutex_;
    std::map<std::string, int> lookups_;
};

TEST_P(ZipWriterAttribute, AHandlerThatDoesNotSeeTheBitSparesTheLookUpsOfTheFilesItSkips) {
    test::TempDir t;
    for (const std::string name : {"a.txt", "b.txt", "c.txt"})
        t.write("tree/" + name, name);
    test::WriterBench bench(t);
    CountedAttributes attributes;
    TZipWriter& zip = bench.zip;
    zip.SetArchiveAttribute(attributes);
    zip.SetThreads(GetParam());
    zip.SetRootDir(t.file("tree"));
    zip.SetResetArchiveBitOnZip(true);
    bench.add({"*.*"}); // every attribute reset: archived
    std::vector<std::uint32_t> seen;
    zip.OnStartZip = [&](TZipWriter&, const std::string& name, TZipHeaderInfo& header, bool& skip) {
        seen.push_back(header.ExternalAttributes & 0x20);
        skip = !name.ends_with("a.txt");
    };

    zip.SetZipName(t.file("seen.zip"));
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 1);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0, 0, 0}));

    seen.clear();
    const auto before = attributes.lookups();
    zip.SetStartZipSeesArchiveBit(false);
    zip.SetZipName(t.file("unseen.zip"));
    zip.SetFilesList({"*.*"});
    EXPECT_EQ(zip.AddFilesToArchive(), 1);
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{0x20, 0x20, 0x20}));
    for (const std::string name : {"b.txt", "c.txt"})
        EXPECT_EQ(attributes.lookups()[t.file("tree/" + name)], before.at(t.file("tree/" + name)))
            << name;
    // The file taken goes in with its real attribute, as before.
    for (const std::string archive : {"seen.zip", "unseen.zip"}) {
        std::istringstream fields(test::centralFields(t.file(archive)).at("a.txt"));
        std::string field;
        for (int i = 0; i <= 5; ++i) // to the external attributes
            std::getline(fields, field, '\t');
        EXPECT_EQ(std::stoul(field) & 0x20, 0u) << archive;
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, ZipWriterAttribute, ::testing::Values(1, 4));

} // namespace
