#include "app/core/backup/VersionRotation.h"
#include "platform/AtomicFile.h"
#include "platform/RenameNoReplace.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace kd;
using kd::test::TempDir;

namespace {

class VersionRotationTest : public ::testing::Test {
protected:
    // Version k holds the text "vK" so that moves can be followed.
    void have(std::initializer_list<int> numbers) {
        for (int k : numbers)
            dir.write("P" + std::to_string(k) + ".zip", "v" + std::to_string(k));
    }
    // What each number holds, "" when missing, for 1..upTo.
    std::vector<std::string> contents(int upTo) {
        std::vector<std::string> result;
        for (int k = 1; k <= upTo; ++k) {
            const std::string path = dir.file("P" + std::to_string(k) + ".zip");
            result.push_back(std::filesystem::is_regular_file(path) ? readWholeFile(path) : "");
        }
        return result;
    }
    // The run writes the new archive under the number prepare() gave.
    int run(VersionRotation& rotation) {
        const int number = rotation.prepare();
        EXPECT_FALSE(std::filesystem::exists(rotation.archiveName(number)));
        dir.write("P" + std::to_string(number) + ".zip", "new");
        return rotation.finish();
    }

    TempDir dir;
    std::string base = dir.file("P");
};

TEST_F(VersionRotationTest, FillsUpThenDropsTheOldest) {
    VersionRotation first(base, 3);
    EXPECT_EQ(run(first), 1);
    have({2, 3});
    VersionRotation full(base, 3);
    EXPECT_EQ(run(full), 3);
    EXPECT_EQ(contents(4), (std::vector<std::string>{"v2", "v3", "new", ""}));
    EXPECT_TRUE(full.problems().empty());
}

TEST_F(VersionRotationTest, OneVersionIsReplacedOnlyAfterTheRun) {
    have({1});
    VersionRotation rotation(base, 1);
    EXPECT_EQ(rotation.prepare(), 2);
    EXPECT_EQ(contents(1), (std::vector<std::string>{"v1"})); // kept while the run works
    dir.write("P2.zip", "new");
    EXPECT_EQ(rotation.finish(), 1);
    EXPECT_EQ(contents(2), (std::vector<std::string>{"new", ""}));
}

TEST_F(VersionRotationTest, FailedRunLosesNoVersion) {
    have({1, 2});
    VersionRotation rotation(base, 2);
    EXPECT_EQ(rotation.prepare(), 3);
    // No finish(): the run failed and wrote nothing.
    EXPECT_EQ(contents(3), (std::vector<std::string>{"v1", "v2", ""}));
}

TEST_F(VersionRotationTest, GapsCloseInOrder) {
    have({2, 4});
    VersionRotation rotation(base, 5);
    EXPECT_EQ(run(rotation), 3);
    EXPECT_EQ(contents(5), (std::vector<std::string>{"v2", "v4", "new", "", ""}));
}

TEST_F(VersionRotationTest, MoreVersionsThanKeptAreShiftedAndKept) {
    have({1, 2, 3, 4, 5});
    VersionRotation rotation(base, 3);
    EXPECT_EQ(run(rotation), 5);
    EXPECT_EQ(contents(6), (std::vector<std::string>{"v2", "v3", "v4", "v5", "new", ""}));
}

TEST_F(VersionRotationTest, UndeletableOldestKeepsEveryNumber) {
    std::filesystem::create_directories(dir.file("P1.zip/inside")); // cannot be unlinked
    have({2});
    VersionRotation rotation(base, 2);
    EXPECT_EQ(run(rotation), 3);
    EXPECT_EQ(contents(3), (std::vector<std::string>{"", "v2", "new"}));
    ASSERT_EQ(rotation.problems().size(), 1u);
    EXPECT_NE(rotation.problems()[0].find("P1.zip"), std::string::npos);
}

TEST_F(VersionRotationTest, ProgramsAndPartSetsRotateAsWholeVersions) {
    dir.write("P1.exe", "v1");
    dir.write("P2.001", "v2a");
    dir.write("P2.002", "v2b");
    dir.write("P2.zfc", "v2dir");
    have({3});
    VersionRotation rotation(base, 3);
    EXPECT_EQ(rotation.prepare(), 4) << "a program or a set of parts takes its number";
    dir.write("P4.exe", "new");
    EXPECT_EQ(rotation.finish(), 3);
    EXPECT_EQ(rotation.filesOf(1), (std::vector<std::string>{"zfc", "001", "002"}));
    EXPECT_EQ(readWholeFile(dir.file("P1.002")), "v2b");
    EXPECT_EQ(contents(2), (std::vector<std::string>{"", "v3"}));
    EXPECT_EQ(readWholeFile(dir.file("P3.exe")), "new");
    EXPECT_TRUE(rotation.filesOf(4).empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              5);
    EXPECT_TRUE(rotation.problems().empty());
}

TEST_F(VersionRotationTest, HalfMovedVersionGoesBack) {
    dir.write("P1.002", "stray"); // in the way of version 3's second part
    dir.write("P3.001", "v3a");
    dir.write("P3.002", "v3b");
    VersionRotation rotation(base, 3);
    EXPECT_EQ(rotation.prepare(), 4);
    EXPECT_EQ(rotation.filesOf(3), (std::vector<std::string>{"001", "002"}));
    EXPECT_TRUE(rotation.filesOf(1).empty());
    EXPECT_EQ(readWholeFile(dir.file("P1.002")), "stray");
    ASSERT_EQ(rotation.problems().size(), 1u);
    EXPECT_NE(rotation.problems()[0].find("P3.002"), std::string::npos);
}

TEST(RenameNoReplace, NeverReplacesAnExistingFile) {
    TempDir dir;
    const std::string a = dir.write("a", "A");
    const std::string b = dir.write("b", "B");
    EXPECT_FALSE(renameNoReplace(a, b));
    EXPECT_EQ(readWholeFile(a), "A");
    EXPECT_EQ(readWholeFile(b), "B");
    EXPECT_TRUE(renameNoReplace(a, dir.file("c")));
    EXPECT_EQ(readWholeFile(dir.file("c")), "A");
    EXPECT_FALSE(std::filesystem::exists(a));
}

} // namespace
