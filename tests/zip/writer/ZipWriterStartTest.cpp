// OnStartZip is asked about every file before any file is read: the files it skips
// are never read, on any thread, and what it decides holds on any thread count.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>

#include "support/ProcessThreads.h"
#include "zip/support/RecordedWriter.h"
#include "zip/support/ZipReaderTestSupport.h"

using namespace kd;
namespace fs = std::filesystem;

namespace {

// Archive attributes that note the files looked at through an open file, as a worker
// does with each file it reads, and those looked at by name, as the calling thread
// does.
class OpenedFiles : public ArchiveAttributeFake {
public:
    std::set<std::string> opened() {
        const std::lock_guard lock(mutex_);
        return opened_;
    }
    std::set<std::string> byName() {
        const std::lock_guard lock(mutex_);
        return byName_;
    }

protected:
    std::optional<ArchiveStamp> Recorded(const std::string& path) override {
        note(byName_, path);
        return ArchiveAttributeFake::Recorded(path);
    }
    std::optional<ArchiveStamp> Recorded(const std::string& path, int fd) override {
        note(fd >= 0 ? opened_ : byName_, path);
        return ArchiveAttributeFake::Recorded(path);
    }

private:
    void note(std::set<std::string>& names, const std::string& path) {
        const std::lock_guard lock(mutex_);
        names.insert(path);
    }
    std::mutex mutex_;
    std::set<std::string> opened_, byName_;
};

class ZipWriterStart : public ::testing::TestWithParam<int> {
protected:
    ZipWriterStart() { test::writeMixedTree(t); }
    test::TempDir t;
};

TEST_P(ZipWriterStart, SkippedFilesAreNeverReadAndEveryFileIsAskedAboutFirst) {
    // Large files, which workers read first.
    t.write("tree/huge.bin", test::randomBytes(1500000, 9));
    t.write("tree/huge-skipped.bin", test::randomBytes(1500000, 10));
    test::RecordedWriter run(t, "out.zip", GetParam(), 8 << 20);
    OpenedFiles attributes;
    run.bench.zip.SetArchiveAttribute(attributes);
    const auto start = run.bench.zip.OnStartZip;
    std::set<std::string> skipped;
    run.bench.zip.OnStartZip = [&](TZipWriter& zip, const std::string& name, TZipHeaderInfo& header,
                                   bool& skip) {
        start(zip, name, header, skip);
        skip = name.find("/small") != std::string::npos || name.ends_with("random.bin") ||
               name.ends_with("skipped.bin");
        if (skip)
            skipped.insert(name);
    };
    run.bench.add({"*"});
    EXPECT_EQ(skipped.size(), 42u);
    for (const std::string& name : attributes.opened())
        EXPECT_EQ(skipped.count(name), 0u) << name << " was read";
    if (GetParam() > 1) {
        EXPECT_EQ(attributes.opened().count(t.file("tree/huge.bin")), 1u);
    }
    // Every question comes before the first file is read.
    const std::size_t lastStart = run.log.rfind("start ");
    EXPECT_LT(lastStart, run.log.find("file "));
    EXPECT_EQ(run.bench.zip.GetEntryCount(), 6); // empty, huge, large, packed, empty2, text
}

TEST(ZipWriterStartless, WithoutAHandlerTheDataMadeAheadIsWritten) {
    test::TempDir t;
    test::writeMixedTree(t);
    t.write("tree/huge.bin", test::randomBytes(1500000, 9)); // made by a worker
    test::RecordedWriter run(t, "out.zip", 4, 8 << 20);
    run.bench.zip.OnStartZip = nullptr;
    OpenedFiles attributes;
    run.bench.zip.SetArchiveAttribute(attributes);
    run.bench.add({"*"});
    EXPECT_EQ(attributes.opened().count(t.file("tree/huge.bin")), 1u);
    EXPECT_EQ(attributes.byName().count(t.file("tree/huge.bin")), 0u) << "read again";
}

TEST_P(ZipWriterStart, ACancelWhileAskingStopsBeforeAnyFileIsRead) {
    test::RecordedWriter run(t, "out.zip", GetParam());
    run.bench.add({"packed.zip"});
    const std::string before = test::fileBytes(run.bench.archive);
    const std::size_t threadsBefore = test::threadsOfThisProcess();
    run.log.clear();
    run.bench.zip.SetDoProcessMessages(true);
    const auto start = run.bench.zip.OnStartZip;
    int asked = 0;
    run.bench.zip.OnStartZip = [&](TZipWriter& zip, const std::string& name, TZipHeaderInfo& header,
                                   bool& skip) {
        start(zip, name, header, skip);
        if (++asked == 3)
            zip.CancelRunningOperation();
    };
    EXPECT_THROW(run.bench.add({"*"}), EUserCanceled);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(run.log.find("file "), std::string::npos);
    EXPECT_EQ(run.log.find("end "), std::string::npos);
    EXPECT_TRUE(test::threadsReturnTo(threadsBefore));
    EXPECT_EQ(test::fileBytes(run.bench.archive), before);
}

INSTANTIATE_TEST_SUITE_P(Threads, ZipWriterStart, ::testing::Values(1, 4));

// 2001-02-03 04:04:06 as a DOS date and time.
constexpr std::uint32_t kChosenDate =
    (21u << 25) | (2u << 21) | (3u << 16) | (4u << 11) | (4u << 5) | 3u;

TEST(ZipWriterStartEdits, EditsAndChangesAfterTheQuestionAreTheSameOnAnyThreadCount) {
    test::TempDir t;
    test::writeMixedTree(t);
    const std::string large = t.file("tree/large.bin");
    std::string logs[2], archives[2];
    const auto changed = fs::last_write_time(t.file("tree/empty.txt")) + std::chrono::hours(1);
    for (const int threads : {1, 4}) {
        t.write("tree/large.bin", test::randomBytes(300000, 8));
        test::RecordedWriter run(t, "out" + std::to_string(threads) + ".zip", threads);
        const auto start = run.bench.zip.OnStartZip;
        run.bench.zip.OnStartZip = [&](TZipWriter& zip, const std::string& name,
                                       TZipHeaderInfo& header, bool& skip) {
            start(zip, name, header, skip);
            if (name.ends_with("text.txt")) {
                header.SetFileName("renamed.txt");
                header.SetComment("named by the handler");
            } else if (name.ends_with("random.bin")) {
                header.DosDateTime = kChosenDate;
            } else if (name.ends_with("packed.zip")) {
                header.ExternalAttributes |= 0x01; // read-only
            } else if (name == large) {
                // Changed after the question: it goes in as it is in its turn.
                std::ofstream(large, std::ios::app) << "added after the question";
                fs::last_write_time(large, changed);
            }
        };
        run.bench.add({"*"});
        logs[threads == 1 ? 0 : 1] = run.log;
        archives[threads == 1 ? 0 : 1] = test::fileBytes(run.bench.archive);

        TZipReader reader;
        reader.SetZipName(run.bench.archive);
        reader.OpenAndReadDirectory();
        std::map<std::string, const TZipHeaderInfo*> entries;
        for (int i = 0; i < reader.GetEntryCount(); ++i) {
            entries[reader.Entry(i).FullName()] = &reader.Entry(i);
            if (reader.Entry(i).FullName() == "renamed.txt") {
                EXPECT_EQ(reader.GetEntryComment(i), "named by the handler");
            }
        }
        ASSERT_TRUE(entries.count("renamed.txt") && !entries.count("text.txt"));
        // A chosen date stands, without the file's exact time to contradict it.
        EXPECT_EQ(entries["random.bin"]->DosDateTime, kChosenDate);
        EXPECT_EQ(entries["random.bin"]->UnixModified(), std::nullopt);
        EXPECT_EQ(entries["packed.zip"]->ExternalAttributes & 0x01, 0x01u);
        struct stat st {};
        ASSERT_EQ(::stat(large.c_str(), &st), 0);
        EXPECT_EQ(entries["large.bin"]->UnixModified(), st.st_mtime);
        EXPECT_EQ(entries["large.bin"]->UncompressedSize, static_cast<std::uint32_t>(st.st_size));
    }
    EXPECT_EQ(logs[1], logs[0]);
    EXPECT_EQ(archives[1], archives[0]);
}

TEST(ZipWriterStartNames, EachFileIsAskedAboutUnderItsDirectoryAndFileName) {
    test::TempDir t;
    t.write("tree/sub/a.txt", "a");
    t.write("tree/sub/back\\slash.txt", "b"); // a backslash is part of a Linux name
    t.write("tree/top.txt", "c");
    test::RecordedWriter run(t, "out.zip", 1);
    std::vector<std::string> asked;
    run.bench.zip.OnStartZip = [&](TZipWriter&, const std::string&, TZipHeaderInfo& header, bool&) {
        asked.push_back(header.Directory() + "|" + header.FileName());
    };
    run.bench.add({"*"});
    EXPECT_EQ(asked, (std::vector<std::string>{"sub/|a.txt", "sub/|back\\slash.txt", "|top.txt"}));
}

} // namespace
