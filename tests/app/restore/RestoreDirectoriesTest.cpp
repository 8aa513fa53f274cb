// Directories through a backup and a restore: their modes and times come back, and
// the counts are of files.
#include "app/support/RestoreFixture.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

namespace kd::test {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

using RestoreDirectoriesTest = RestoreFixture;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

TEST_F(RestoreDirectoriesTest, ClosedDirectoryAndOldTimesComeBack) {
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    dir.write("src/private/secret.txt", "tajné");
    ASSERT_EQ(::chmod(dir.file("src/private/secret.txt").c_str(), 0600), 0);
    ASSERT_EQ(::chmod(dir.file("src/private").c_str(), 0700), 0);
    const std::time_t old = 978350400; // 2001-01-01 12:00 UTC
    const auto oldTime =
        fs::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(old));
    fs::last_write_time(dir.file("src/docs/deep"), oldTime);
    fs::last_write_time(dir.file("src/docs"), oldTime);
    addProfile();
    create();
    ASSERT_EQ(runs_.RunBackup(state.profiles.record(0), 0), RunResult::Complete);
    EXPECT_EQ(runs_.backup().lastOutcome().fileCount, 5u);

    fs::remove_all(dir.file("src/private"));
    fs::remove_all(dir.file("src/docs"));
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Complete);
    EXPECT_EQ(statOf(dir.file("src/private")).st_mode & 07777, 0700u);
    EXPECT_EQ(statOf(dir.file("src/private/secret.txt")).st_mode & 07777, 0600u);
    EXPECT_EQ(read("src/private/secret.txt"), "tajné");
    EXPECT_EQ(statOf(dir.file("src/docs/deep")).st_mtime, old);
    EXPECT_EQ(statOf(dir.file("src/docs")).st_mtime, old);
    EXPECT_THAT(read("Data.log"), HasSubstr("Obnoveno souborů: 5\r\n"));
}

} // namespace
} // namespace kd::test
