// Extraction on several threads gives what extraction on one thread gives: the same
// tree, the same failures in the same order, the questions in entry order, and a
// cancel that leaves no worker and no temporary file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <set>

#include "platform/TempFileBeside.h"
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

// The events that tell an entry's outcome, in their order.
std::vector<std::string> outcomes(const test::ExtractEvents& events) {
    std::vector<std::string> kept;
    for (const auto& line : events.lines)
        if (line.rfind("end ", 0) == 0 || line.rfind("skip ", 0) == 0 ||
            line.rfind("badcrc ", 0) == 0 || line.rfind("complete ", 0) == 0)
            kept.push_back(line);
    return kept;
}

std::size_t threadsOfThisProcess() {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
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
    // outside, and a name stored twice.
    void makeVariedZip() {
        test::makeExtractTree(t_, "src");
        for (int i = 0; i < 40; ++i)
            t_.write(
                "src/many/f" + std::to_string(i) + ".txt",
                std::string(static_cast<std::size_t>(i) * 997, static_cast<char>('a' + i % 26)));
        t_.write("src/bad.txt", std::string(5000, 'b'));
        t_.write("src/odd.txt", "odd method");
        fs::permissions(t_.file("src/a.txt"), fs::perms(0640));
        test::mustRun("cd " + t_.file("src") + " && zip -q -r -X ../a.zip a.txt bad.txt odd.txt " +
                      "many empty.txt sub emptydir 'ž luťoučký kůň.txt'");
        t_.write("src/secret.txt", "secret");
        test::mustRun("cd " + t_.file("src") + " && zip -q -P pw ../a.zip secret.txt");
        test::mustRun("cd " + t_.file("src") + " && zip -q ../a.zip many/f3.txt"); // again
        test::patchEntry(t_.file("a.zip"), 1, HeaderField::Crc, 0x12345678);
        test::patchEntry(t_.file("a.zip"), 2, HeaderField::Method, 12);
    }

    struct Result {
        std::string tree;
        std::vector<std::string> outcomes;
        std::vector<std::string> failures;
        int count = 0;
    };

    Result extract(int threads, const std::string& dest) {
        test::configureExtractAll(zip_, t_.file("a.zip"), t_.file(dest));
        zip_.SetPassword("pw");
        zip_.SetExtractThreads(threads);
        events_.emplace(zip_);
        Result result;
        result.count = zip_.ExtractArchive();
        result.tree = fullListing(t_.file(dest));
        result.outcomes = outcomes(*events_);
        for (const auto& f : zip_.ExtractFailures())
            result.failures.push_back(std::to_string(f.FileIndex) + " " + f.Name + ": " +
                                      f.Message);
        return result;
    }

    std::optional<test::ExtractEvents> events_; // lives as long as the reader's handlers
};

} // namespace

TEST_F(ZipExtractParallel, GivesTheTreeFailuresAndOutcomesOfOneThread) {
    makeVariedZip();
    const Result one = extract(1, "one");
    const Result many = extract(8, "many");
    EXPECT_EQ(many.tree, one.tree);
    EXPECT_EQ(many.outcomes, one.outcomes);
    EXPECT_EQ(many.failures, one.failures);
    EXPECT_EQ(many.count, one.count);
    ASSERT_EQ(one.failures.size(), 2u);
    EXPECT_NE(one.failures[0].find("CRC error"), std::string::npos);
    EXPECT_NE(one.failures[1].find("Unknown Compression Method 12"), std::string::npos);
    EXPECT_EQ(test::readFile(t_.file("many/secret.txt")), "secret");
}

TEST_F(ZipExtractParallel, AsksTheOverwriteQuestionsInEntryOrder) {
    makeVariedZip();
    extract(1, "one");
    extract(1, "many");
    for (const auto* dest : {"one", "many"})
        for (const auto& item : fs::recursive_directory_iterator(t_.file(dest)))
            if (item.is_regular_file())
                t_.write(fs::relative(item.path(), t_.path()).string(), "old");
    std::vector<int> asked[2];
    for (int run = 0; run < 2; ++run) {
        test::configureExtractAll(zip_, t_.file("a.zip"), t_.file(run == 0 ? "one" : "many"));
        zip_.SetPassword("pw");
        zip_.SetExtractThreads(run == 0 ? 1 : 8);
        zip_.SetOverwriteMode(TUZOverwriteMode::Prompt);
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

TEST_F(ZipExtractParallel, CancelLeavesNoWorkerAndNoTemporaryFile) {
    makeVariedZip();
    const std::size_t threadsBefore = threadsOfThisProcess();
    test::configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest"));
    zip_.SetExtractThreads(8);
    int started = 0;
    zip_.OnStartUnZip = [&](TZipReader& zip, int, std::string&, bool&) {
        if (++started == 20)
            zip.CancelRunningOperation();
    };
    EXPECT_THROW(zip_.ExtractArchive(), EUserCanceled);
    EXPECT_EQ(threadsOfThisProcess(), threadsBefore);
    EXPECT_FALSE(holdsTemporaryFiles(t_.file("dest")));
    EXPECT_LT(
        fs::exists(t_.file("dest/many"))
            ? std::distance(fs::directory_iterator(t_.file("dest/many")), fs::directory_iterator())
            : 0,
        40);
}

} // namespace kd
