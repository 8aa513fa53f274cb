#include "app/core/runs/ProfileArchives.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kd;
using namespace kd::test;

namespace {

// The profile's archives go by their exact names; the user's files beside them, with
// names a mask such as "P*.zip" would also take, are not theirs.
TEST(ProfileArchives, KnowsTheProfilesArchivesByTheirExactNames) {
    const ProfileArchives archives("/t/", "P");
    for (const char* name : {"P.zip", "P1.zip", "P12.exe", "P3.zfc", "P1.001", "P.002",
                             "P_2024_3_7_10_0_5.zip", ".P1.zip.Ab12Cd", ".P.zip.xY3z9Q"})
        EXPECT_TRUE(archives.isArchiveName(name)) << name;
    for (const char* name :
         {"P1.zip.txt", "p1.zip", "PX.zip", "P1a.zip", "P1.0001", "P1.01", "P_2024_3.zip",
          "P_2024_3_7_10_0_5.exe", "Q1.zip", ".P1.zip.abc", "P1.ZIP", "P", "P1"})
        EXPECT_FALSE(archives.isArchiveName(name)) << name;
    EXPECT_FALSE(ProfileArchives("/t", "").isArchiveName(".zip"));
}

TEST(ProfileArchives, CoversItsArchivesHoweverTheyAreReached) {
    TempDir dir;
    const std::string archive = dir.write("t/P1.zip", "archive");
    dir.write("t/P1.zip.txt", "notes");
    dir.write("other/file.txt", "x");
    ASSERT_EQ(::link(archive.c_str(), dir.file("other/copy.bin").c_str()), 0);
    std::filesystem::create_directory_symlink(dir.file("t"), dir.file("link"));
    const ProfileArchives archives(dir.file("t"), "P");

    EXPECT_EQ(archives.present(), std::vector<std::string>{archive});
    EXPECT_TRUE(archives.covers(archive));
    EXPECT_TRUE(archives.covers(dir.file("t/P2.zip")));       // a version that is not there yet
    EXPECT_TRUE(archives.covers(dir.file("link/P2.zip")));    // the same directory
    EXPECT_TRUE(archives.covers(dir.file("other/copy.bin"))); // the same file
    EXPECT_FALSE(archives.covers(dir.file("t/P1.zip.txt")));
    EXPECT_FALSE(archives.covers(dir.file("other/file.txt")));
    EXPECT_FALSE(archives.covers(dir.file("other/P2.zip"))); // another directory
}

} // namespace
