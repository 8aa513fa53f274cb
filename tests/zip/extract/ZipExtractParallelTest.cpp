// Extraction on several threads gives what extraction on one thread gives: the same
// tree, every event with the same arguments in the same order (what a handler sees on
// disk included), the same failures, and a cancel that leaves no worker and no
// temporary file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "platform/FileStamp.h"
#include "platform/TempFileBeside.h"
#include "support/ProcessThreads.h"
#include "zip/format/Crc32.h"
#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

using test::HeaderField;

// treeListing with each item's permission bits and last-write time.
std::string fullListing(const std::string& dir) {
    std::set<std::string> lines;
    for (const auto& item : fs::recursive_directory_iterator(dir)) {
        struct stat st {};
        ::lstat(item.path().c_str(), &st);
        lines.insert(fs::relative(item.path(), dir).string() + " " +
                     std::to_string(st.st_mode & 07777) + " " + std::to_string(st.st_mtime));
    }
    std::string text = test::treeListing(dir);
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

bool holdsTemporaryFiles(const std::string& dir) {
    for (const auto& item : fs::recursive_directory_iterator(dir))
        if (item.path().filename().string().rfind(kTempFilePrefix, 0) == 0)
            return true;
    return false;
}

class ZipExtractParallel : public test::ExtractTest {
protected:
    // An archive of many entries: texts, an empty file, binary data, directories,
    // a damaged entry, one of an unknown method, an encrypted one, one leading
    // outside, a name stored twice, and large files far behind hundreds of small
    // ones (started before the others are done; one of them is skipped; one is long
    // enough to be inflated by several workers at once).
    void makeVariedZip() {
        test::makeExtractTree(t_, "src");
        for (int i = 0; i < 40; ++i)
            t_.write(
                "src/many/f" + std::to_string(i) + ".txt",
                std::string(static_cast<std::size_t>(i) * 997, static_cast<char>('a' + i % 26)));
        for (int i = 0; i < 300; ++i)
            t_.write("src/wide/w" + std::to_string(i) + ".txt", std::to_string(i * i));
        for (const char* big : {"late/x1.bin", "late/f5.txt", "late/x2.bin"}) {
            std::string bytes(1536u << 10, '\0');
            for (std::size_t k = 0; k < bytes.size(); ++k)
                bytes[k] = static_cast<char>((k * 2654435761u) >> 13 ^ (k >> 9));
            t_.write(std::string("src/") + big, bytes);
        }
        std::string lettered(2560u << 10, '\0'); // 16 letters at random: 1.5 MB deflated
        std::uint32_t state = 12345;
        for (char& c : lettered) {
            state = state * 1103515245u + 12345u;
            c = static_cast<char>('a' + (state >> 28));
        }
        t_.write("src/late/x3.bin", lettered);
        t_.write("src/bad.txt", std::string(5000, 'b'));
        t_.write("src/odd.txt", "odd method");
        fs::permissions(t_.file("src/a.txt"), fs::perms(0640));
        test::mustRun("cd " + t_.file("src") + " && zip -q -r -X ../a.zip a.txt bad.txt odd.txt " +
                      "many empty.txt sub emptydir 'ž luťoučký kůň.txt' wide late");
        t_.write("src/secret.txt", "secret");
        test::mustRun("cd " + t_.file("src") + " && zip -q -P pw ../a.zip secret.txt");
        test::mustRun("cd " + t_.file("src") + " && zip -q ../a.zip many/f3.txt"); // again
        test::patchEntry(t_.file("a.zip"), 1, HeaderField::Crc, 0x12345678);
        test::patchEntry(t_.file("a.zip"), 2, HeaderField::Method, 12);
    }

    struct Result {
        std::string tree;
        std::vector<std::string> events;
        std::vector<std::string> failures;
        int count = 0;
    };

    // Extracts into dest with handlers that record every event (and whether the
    // start event's file exists, as the run log's handler looks), skip one entry,
    // move another, and answer each overwrite question with no.
    Result extract(int threads, const std::string& dest) {
        test::configureExtractAll(zip_, t_.file("a.zip"), t_.file(dest));
        zip_.SetPassword("pw");
        zip_.SetExtractThreads(threads);
        zip_.SetOverwriteMode(TUZOverwriteMode::Prompt);
        events_.emplace(zip_);
        auto& lines = events_->lines;
        zip_.OnStartUnZip = [this, &lines, dest](TZipReader&, int i, std::string& name,
                                                 bool& skip) {
            const std::string file = fs::path(name).filename().string();
            lines.push_back("start " + std::to_string(i) + " " + file +
                            (fs::exists(name) ? " exists" : ""));
            skip = file == "f5.txt";
            if (file == "f7.txt")
                name = t_.file(dest + "/moved/f7.txt");
        };
        zip_.OnPromptForOverwrite = [&lines](TZipReader&, bool&, int i, std::string& name) {
            lines.push_back("prompt " + std::to_string(i) + " " +
                            fs::path(name).filename().string());
        };
        zip_.OnBadPassword = [&lines](TZipReader&, int i, std::string&) {
            lines.push_back("password " + std::to_string(i));
        };
        t_.write(dest + "/many/f9.txt", "mine");
        // What the run did not make gets one time, so that runs at different
        // moments compare.
        static const auto fixed = fs::file_time_type::clock::now() - std::chrono::hours(1);
        fs::last_write_time(t_.file(dest + "/many/f9.txt"), fixed);
        Result result;
        result.count = zip_.ExtractArchive();
        fs::last_write_time(t_.file(dest + "/moved"), fixed);
        result.tree = fullListing(t_.file(dest));
        result.events = lines;
        for (const auto& f : zip_.ExtractFailures())
            result.failures.push_back(std::to_string(f.FileIndex) + " " + f.Name + ": " +
                                      f.Message);
        return result;
    }

    std::optional<test::ExtractEvents> events_; // lives as long as the reader's handlers
};

} // namespace

TEST_F(ZipExtractParallel, GivesTheTreeEventsAndFailuresOfOneThread) {
    makeVariedZip();
    const Result one = extract(1, "one");
    for (const int threads : {4, 8}) {
        const std::string dest = "many" + std::to_string(threads);
        const Result many = extract(threads, dest);
        EXPECT_EQ(many.tree, one.tree) << threads << " threads";
        EXPECT_EQ(many.events, one.events) << threads << " threads";
        EXPECT_EQ(many.failures, one.failures) << threads << " threads";
        EXPECT_EQ(many.count, one.count) << threads << " threads";
    }
    const auto has = [&one](const std::string& line) {
        return std::find(one.events.begin(), one.events.end(), line) != one.events.end();
    };
    EXPECT_TRUE(has("file% 100"));
    EXPECT_FALSE(has("end 2 bad.txt"));
    ASSERT_EQ(one.failures.size(), 2u);
    EXPECT_NE(one.failures[0].find("CRC error"), std::string::npos);
    EXPECT_NE(one.failures[1].find("Unknown Compression Method 12"), std::string::npos);
    EXPECT_EQ(test::readFile(t_.file("one/secret.txt")), "secret");
    EXPECT_EQ(test::readFile(t_.file("one/many/f9.txt")), "mine");
    EXPECT_TRUE(fs::exists(t_.file("one/moved/f7.txt")));
    EXPECT_FALSE(fs::exists(t_.file("one/many/f5.txt")));
    EXPECT_FALSE(fs::exists(t_.file("one/late/f5.txt")));
    EXPECT_EQ(fs::file_size(t_.file("one/late/x2.bin")), 1536u << 10);
    EXPECT_EQ(fs::file_size(t_.file("one/late/x3.bin")), 2560u << 10);
}

// A directory swapped for a link to elsewhere while the run goes on: the files decoded
// ahead for it are never put through the link.
TEST_F(ZipExtractParallel, ADirectorySwappedForALinkIsNeverFollowed) {
    makeVariedZip();
    fs::create_directories(t_.file("outside"));
    std::vector<std::string> lines[2];
    for (int run = 0; run < 2; ++run) {
        const std::string dest = t_.file(run == 0 ? "one" : "many");
        test::configureExtractAll(zip_, t_.file("a.zip"), dest);
        zip_.SetExtractThreads(run == 0 ? 1 : 4);
        events_.emplace(zip_);
        auto record = zip_.OnStartUnZip;
        zip_.OnStartUnZip = [&, record, dest](TZipReader& zip, int i, std::string& name,
                                              bool& skip) {
            record(zip, i, name, skip);
            if (fs::path(name).filename() == "f20.txt") {
                fs::rename(dest + "/many", dest + "/away");
                fs::create_directory_symlink(t_.file("outside"), dest + "/many");
            }
        };
        zip_.ExtractArchive();
        lines[run] = events_->lines;
    }
    EXPECT_TRUE(fs::is_empty(t_.file("outside")));
    EXPECT_EQ(lines[1], lines[0]);
    EXPECT_NE(std::find(lines[0].begin(), lines[0].end(), "skip 5 20 f21.txt"), lines[0].end());
}

TEST_F(ZipExtractParallel, AsksTheOverwriteQuestionsInEntryOrder) {
    makeVariedZip();
    extract(1, "one");
    extract(1, "many");
    for (const auto* dest : {"one", "many"})
        for (const auto& item : fs::recursive_directory_iterator(t_.file(dest)))
            if (item.is_regular_file()) {
                t_.write(fs::relative(item.path(), t_.path()).string(), "old");
                // The files kept are compared with their times: one time for both trees.
                fs::last_write_time(item.path(), fs::file_time_type{});
            }
    std::vector<int> asked[2];
    for (int run = 0; run < 2; ++run) {
        test::configureExtractAll(zip_, t_.file("a.zip"), t_.file(run == 0 ? "one" : "many"));
        zip_.SetPassword("pw");
        zip_.SetExtractThreads(run == 0 ? 1 : 8);
        zip_.SetOverwriteMode(TUZOverwriteMode::Prompt);
        zip_.OnStartUnZip = nullptr;
        zip_.OnPromptForOverwrite = [&](TZipReader&, bool& overwrite, int index, std::string&) {
            asked[run].push_back(index);
            overwrite = index % 3 != 0;
        };
        zip_.ExtractArchive();
    }
    EXPECT_FALSE(asked[0].empty());
    EXPECT_EQ(asked[1], asked[0]);
    EXPECT_EQ(fullListing(t_.file("many")), fullListing(t_.file("one")));
}

// A file that appears at a target while its entry starts (made by the start event's
// handler) is asked about, as on one thread: a file decoded ahead never takes its place
// unasked.
TEST_F(ZipExtractParallel, AFileMadeAtTheTargetAsItsEntryStartsIsAskedAbout) {
    makeVariedZip();
    std::vector<std::string> asked[2];
    for (int run = 0; run < 2; ++run) {
        const std::string dest = t_.file(run == 0 ? "one" : "many");
        test::configureExtractAll(zip_, t_.file("a.zip"), dest);
        zip_.SetExtractThreads(run == 0 ? 1 : 8);
        zip_.SetOverwriteMode(TUZOverwriteMode::Prompt);
        zip_.OnStartUnZip = [](TZipReader&, int, std::string& name, bool&) {
            const std::string file = fs::path(name).filename().string();
            if (file == "w7.txt" || file == "w150.txt" || file == "x2.bin")
                std::ofstream(name) << "made meanwhile";
        };
        zip_.OnPromptForOverwrite = [&](TZipReader&, bool& overwrite, int, std::string& name) {
            const std::string file = fs::path(name).filename().string();
            asked[run].push_back(file);
            overwrite = file == "w150.txt";
        };
        zip_.ExtractArchive();
    }
    EXPECT_EQ(asked[0], (std::vector<std::string>{"w7.txt", "w150.txt", "x2.bin"}));
    EXPECT_EQ(asked[1], asked[0]);
    EXPECT_EQ(test::readFile(t_.file("many/wide/w7.txt")), "made meanwhile");
    EXPECT_EQ(test::readFile(t_.file("many/wide/w150.txt")), std::to_string(150 * 150));
    EXPECT_EQ(fs::file_size(t_.file("many/late/x2.bin")), std::string("made meanwhile").size());
    EXPECT_EQ(test::treeListing(t_.file("many")), test::treeListing(t_.file("one")));
}

// The end event tells the stamp of the file just put in place, on several threads and
// on one, also where a file is replaced (its permissions then changed at its turn);
// an entry skipped tells none.
TEST_F(ZipExtractParallel, TheEndEventTellsTheStampOfTheFileJustPutInPlace) {
    makeVariedZip();
    for (const int threads : {1, 8}) {
        SCOPED_TRACE(threads);
        const std::string dest = t_.file("dest" + std::to_string(threads));
        test::configureExtractAll(zip_, t_.file("a.zip"), dest);
        zip_.SetPassword("pw");
        zip_.SetExtractThreads(threads);
        zip_.SetOverwriteMode(TUZOverwriteMode::Always);
        zip_.SetRetainAttributes(false); // a file replaced keeps its own bits
        int ended = 0;
        std::vector<std::string> wrong;
        zip_.OnEndUnZip = [&](TZipReader& zip, int, const std::string& name) {
            ++ended;
            struct stat st {};
            const auto stamp = zip.ExtractedStamp();
            if (::stat(name.c_str(), &st) != 0 || !stamp || stamp->device != st.st_dev ||
                stamp->inode != st.st_ino || *stamp != FileStampOf(st))
                wrong.push_back(name);
        };
        zip_.OnSkippingFile = [&](TZipReader& zip, TSkipReason, const std::string& name, int,
                                  bool&) {
            if (zip.ExtractedStamp())
                wrong.push_back("skipped " + name);
        };
        for (int run = 0; run < 2; ++run) {
            zip_.ExtractArchive();
            ::chmod((dest + "/a.txt").c_str(), 0600);
            ::chmod((dest + "/wide/w7.txt").c_str(), 0600);
        }
        EXPECT_GT(ended, 600);
        EXPECT_EQ(wrong, std::vector<std::string>{});
    }
}

TEST_F(ZipExtractParallel, CancelLeavesNoWorkerAndNoTemporaryFile) {
    makeVariedZip();
    const std::size_t threadsBefore = test::threadsOfThisProcess();
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest"));
    zip_.SetExtractThreads(8);
    int started = 0;
    zip_.OnStartUnZip = [&](TZipReader& zip, int, std::string&, bool&) {
        if (++started == 20)
            zip.CancelRunningOperation();
    };
    EXPECT_THROW(zip_.ExtractArchive(), EUserCanceled);
    EXPECT_TRUE(test::threadsReturnTo(threadsBefore));
    EXPECT_FALSE(holdsTemporaryFiles(t_.file("dest")));
    EXPECT_LT(
        fs::exists(t_.file("dest/many"))
            ? std::distance(fs::directory_iterator(t_.file("dest/many")), fs::directory_iterator())
            : 0,
        40);
}

} // namespace kd
