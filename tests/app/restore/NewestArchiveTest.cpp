#include "app/core/restore/NewestArchive.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kd::test {
namespace {

class NewestArchiveTest : public ::testing::Test {
protected:
    NewestArchiveTest() {
        profile.Name = "Data";
        profile.TargetDir = dir.path() + "/";
    }

    // Writes an archive file written the given number of minutes ago.
    void archive(const std::string& name, int minutesAgo = 60) {
        const std::string path = dir.write(name, "PK");
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                                   std::chrono::minutes(minutesAgo));
    }
    std::string found() {
        const auto newest = findNewestArchive(profile);
        if (!newest)
            return "none";
        return std::filesystem::path(newest->path).filename().string() + " #" +
               std::to_string(newest->version) + (newest->partSet ? " parts" : "");
    }

    TempDir dir;
    TObjektZal profile;
};

TEST_F(NewestArchiveTest, NumberedVersionsFollowTheRotation) {
    profile.VersionsKept = 3;
    EXPECT_EQ(found(), "none");
    archive("Data1.zip");
    archive("Data2.zip");
    EXPECT_EQ(found(), "Data2.zip #2");
    archive("Data3.zip");
    EXPECT_EQ(found(), "Data3.zip #3");
}

TEST_F(NewestArchiveTest, NumberBehindAGapIsStale) {
    profile.VersionsKept = 3;
    archive("Data1.zip", 30);
    archive("Data2.zip", 20);
    archive("Data7.zip", 10); // left from an older count, however recent
    EXPECT_EQ(found(), "Data2.zip #2");
}

TEST_F(NewestArchiveTest, NumbersAboveALoweredCountStillCount) {
    // With the count lowered to 2 the rotation keeps and shifts all four and writes
    // the fourth.
    profile.VersionsKept = 2;
    for (int k = 1; k <= 4; ++k)
        archive("Data" + std::to_string(k) + ".zip", 10 - k);
    EXPECT_EQ(found(), "Data4.zip #4");
}

TEST_F(NewestArchiveTest, WithoutVersionOneTheMostRecentCounts) {
    profile.VersionsKept = 3;
    archive("Data2.zip", 5);
    archive("Data3.zip", 50);
    archive("Data.zip", 100);
    EXPECT_EQ(found(), "Data2.zip #2");
}

TEST_F(NewestArchiveTest, SplitArchivesOpenTheirLastPartOrTheRenamedSinglePart) {
    profile.SplitMode = 1;
    archive("Data.001");
    EXPECT_EQ(found(), "Data.001 #0 parts");
    archive("Data.002");
    archive("Data.003");
    EXPECT_EQ(found(), "Data.003 #0 parts");

    profile.VersionsKept = 2;
    archive("Data1.zip"); // a single part renamed
    archive("Data2.001", 10);
    archive("Data2.002", 10);
    EXPECT_EQ(found(), "Data2.002 #2 parts");
    archive("Data2.zip", 1); // written after the part set
    EXPECT_EQ(found(), "Data2.zip #2");
}

TEST_F(NewestArchiveTest, SelfExtractingProgramsCountAsArchives) {
    profile.VersionsKept = 3;
    archive("Data1.exe");
    archive("Data2.exe");
    EXPECT_EQ(found(), "Data2.exe #2");
    archive("Data2.zip", 1); // its program could not be built this time
    EXPECT_EQ(found(), "Data2.zip #2");
    profile.VersionsKept = 0;
    archive("Data.exe", 2);
    EXPECT_EQ(found(), "Data.exe #0");
}

TEST_F(NewestArchiveTest, WithoutVersionsTheLatestRunCounts) {
    archive("Data.zip", 90);
    EXPECT_EQ(found(), "Data.zip #0");
    profile.BackupKind = 2;
    archive("Data_2024_3_7_10_0_0.zip", 60);
    archive("Data_2024_3_8_9_5_0.zip", 30);
    EXPECT_EQ(found(), "Data_2024_3_8_9_5_0.zip #0");
}

TEST_F(NewestArchiveTest, OtherProfilesArchivesAreNotTaken) {
    archive("Data2.zip", 1); // profile "Data2"
    archive("Database.zip", 1);
    archive("Data_old.zip", 1);
    EXPECT_EQ(found(), "none");
    profile.TargetDir = dir.path(); // no trailing "/"
    archive("Data.zip");
    EXPECT_EQ(found(), "Data.zip #0");
}

} // namespace
} // namespace kd::test
