// Hostile and damaged archives (tests/tools/make_hostile_fixtures.py): each bad entry
// is refused or fails alone and is counted; the others are extracted; nothing is
// written that the archive does not hold once.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TestPaths.h"
#include "zip/support/ZipExtractTestSupport.h"

namespace fs = std::filesystem;

namespace kd {

namespace {

class ZipExtractHostile : public test::ExtractTest {
protected:
    // Extracts the fixture (its directory rebuilt when it has none) into t/dest.
    int extract(const std::string& fixture) {
        const std::string archive = t_.file(fixture);
        fs::copy_file(KORDYNE_TEST_DATA_DIR "/zip/hostile/" + fixture, archive);
        test::configureExtractAll(zip_, archive, t_.file("dest"));
        zip_.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
        zip_.OpenAndReadDirectory();
        return zip_.ExtractArchive();
    }
    // The names of the failed entries, sorted, each with its kind of problem.
    std::vector<std::pair<std::string, TExtractProblem>> failures() const {
        std::vector<std::pair<std::string, TExtractProblem>> found;
        for (const TExtractFailure& f : zip_.ExtractFailures())
            found.emplace_back(f.Name, f.Problem);
        std::sort(found.begin(), found.end());
        return found;
    }
    std::vector<std::string> destFiles() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(t_.file("dest")))
            names.push_back(item.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

using Problem = TExtractProblem;

} // namespace

TEST_F(ZipExtractHostile, OverlappingEntriesAreRefusedAndOnlyTheWholeOneIsWritten) {
    // Six entries of 1 MiB each in 1.6 KB: five quote the next headers.
    EXPECT_EQ(extract("overlapping-quoted-headers.zip"), 1);
    EXPECT_EQ(destFiles(), std::vector<std::string>{"kernel.bin"});
    EXPECT_EQ(fs::file_size(t_.file("dest/kernel.bin")), 1u << 20);
    const auto found = failures();
    ASSERT_EQ(found.size(), 5u);
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].first, "quote" + std::to_string(i + 1) + ".bin");
        EXPECT_EQ(found[i].second, Problem::Overlapping);
    }
    EXPECT_NE(zip_.ExtractFailures()[0].Message.find("zip bomb"), std::string::npos);
}

TEST_F(ZipExtractHostile, EntriesSharingALocalHeaderAreBothRefused) {
    test::ExtractEvents events(zip_);
    EXPECT_EQ(extract("duplicate-local-offsets.zip"), 1);
    EXPECT_EQ(destFiles(), std::vector<std::string>{"three.txt"});
    EXPECT_EQ(failures(),
              (std::vector<std::pair<std::string, Problem>>{{"one.txt", Problem::Overlapping},
                                                            {"two.txt", Problem::Overlapping}}));
    const auto main = events.Main();
    EXPECT_EQ(std::count_if(main.begin(), main.end(),
                            [](const std::string& l) { return l.rfind("skip 11 ", 0) == 0; }),
              2);
}

TEST_F(ZipExtractHostile, OverlongNameRefusesOnlyItsEntryWithTheNameShortened) {
    EXPECT_EQ(extract("overlong-name.zip"), 1);
    EXPECT_EQ(zip_.GetEntryCount(), 2);
    EXPECT_EQ(destFiles(), std::vector<std::string>{"ok.txt"});
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    const TExtractFailure& failure = zip_.ExtractFailures()[0];
    EXPECT_EQ(failure.Problem, Problem::NameTooLong);
    EXPECT_LT(failure.Name.size(), 300u);
    EXPECT_EQ(failure.Name.rfind("šššš", 0), 0u);
    EXPECT_NE(failure.Name.find("(80000 bytes)"), std::string::npos) << failure.Name;
}

TEST_F(ZipExtractHostile, AesEntryIsNamedAsAesEncryption) {
    zip_.SetPassword("pw");
    int asked = 0;
    zip_.OnBadPassword = [&asked](TZipReader&, int, std::string&) { ++asked; };
    EXPECT_EQ(extract("aes-encrypted.zip"), 1);
    EXPECT_EQ(destFiles(), std::vector<std::string>{"plain.txt"});
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    EXPECT_EQ(zip_.ExtractFailures()[0].Problem, Problem::AesEncrypted);
    EXPECT_EQ(zip_.ExtractFailures()[0].Message, "AES encryption is not supported");
}

TEST_F(ZipExtractHostile, CompleteDataAreExtractedThoughTheirSizeRunsPastTheEnd) {
    EXPECT_EQ(extract("truncated-final-entry-complete-data.zip"), 2);
    EXPECT_TRUE(zip_.ExtractFailures().empty());
    EXPECT_EQ(destFiles(), (std::vector<std::string>{"first.txt", "last.bin"}));
    EXPECT_EQ(fs::file_size(t_.file("dest/last.bin")), 60000u);
}

TEST_F(ZipExtractHostile, DataCutByTheEndOfTheFileFailOnlyTheirEntry) {
    test::ExtractEvents events(zip_);
    EXPECT_EQ(extract("truncated-final-entry-cut-data.zip"), 1);
    EXPECT_EQ(destFiles(), std::vector<std::string>{"first.txt"});
    ASSERT_EQ(zip_.ExtractFailures().size(), 1u);
    EXPECT_EQ(zip_.ExtractFailures()[0].Problem, Problem::ReadFailed);
    EXPECT_EQ(zip_.ExtractFailures()[0].Message, "Premature end of file reached");
    EXPECT_EQ(events.lines.back(), "complete 1");
}

} // namespace kd
