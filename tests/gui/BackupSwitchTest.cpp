#include "ChildProcess.h"
#include "ProgramCopy.h"
#include "app/core/logs/LastRunStamp.h"
#include "app/core/profiles/ObjektZal.h"
#include "platform/AtomicFile.h"
#include "support/TempDir.h"
#include "support/Unreadable.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

using namespace kd;
using namespace kd::test;

namespace {

// Runs a copy of the program with the switch ("a" by default, or "o") and the profile
// name in dir, without the power to read what file permissions forbid; its exit
// status (none when it did not end in time).
std::optional<int> runBackupSwitch(const TempDir& dir, const std::string& profileName,
                                   const std::string& letter = "a") {
    TempDir config;
    // One copy for the directory, named after it.
    const ProgramCopy program(dir.path(),
                              "kordyne-" + std::filesystem::path(dir.path()).filename().string());
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    std::vector<std::string> arguments = withoutPermissionOverride(program.path());
    arguments.insert(arguments.end(), {letter, profileName});
    ChildProcess process(arguments.front(), arguments,
                         {"XDG_CONFIG_HOME=" + config.path(), "XDG_STATE_HOME=" + config.path(),
                          "QT_QPA_PLATFORM=offscreen"});
    return process.waitForExit();
}

TObjektZal profileIn(const TempDir& dir) {
    TObjektZal profile;
    profile.Name = "Mzdy";
    profile.SourceDir = dir.file("data/");
    profile.TargetDir = dir.file("backup/");
    profile.Masks = "*.txt";
    profile.Recurse = true;
    return profile;
}

// The program started with "a" and a profile name backs that profile up and ends.
TEST(BackupSwitch, BacksUpTheNamedProfileAndEnds) {
    TempDir dir;
    dir.write("data/a.txt", "first file");
    dir.write("data/sub/b.txt", "second file");
    std::filesystem::create_directories(dir.file("backup"));
    SaveProfile(profileIn(dir), dir.path());

    EXPECT_EQ(runBackupSwitch(dir, "MZDY"), 0);
    std::string output;
    EXPECT_EQ(runCommand("unzip -t -qq " + dir.file("backup/Mzdy.zip"), &output), 0) << output;
    EXPECT_TRUE(readLastRunIfAny(dir.path(), "Mzdy").has_value());
    EXPECT_TRUE(std::filesystem::exists(dir.file("Mzdy.log")));
}

// A backup and a restore through the switches bring back each file's permissions,
// exact time and Czech name.
TEST(BackupSwitch, ARestoreBringsBackModesTimesAndCzechNames) {
    TempDir dir;
    const std::string czech = "data/příliš žluťoučký kůň.txt";
    ::chmod(dir.write("data/private.txt", "mine").c_str(), 0600);
    ::chmod(dir.write("data/run.sh", "#!/bin/sh\n").c_str(), 0755);
    runCommand("touch -d @1626344431 '" + dir.write(czech, "kůň") + "'");
    std::filesystem::create_directories(dir.file("backup"));
    TObjektZal profile = profileIn(dir);
    profile.Masks = "*.*";
    SaveProfile(profile, dir.path());
    ASSERT_EQ(runBackupSwitch(dir, "Mzdy"), 0);

    std::filesystem::remove(dir.file("data/run.sh"));
    std::filesystem::remove(dir.file(czech));
    dir.write("data/private.txt", "changed");
    ASSERT_EQ(runBackupSwitch(dir, "Mzdy", "o"), 0);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("data/private.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat(dir.file("data/run.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    ASSERT_EQ(::stat(dir.file(czech).c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1626344431);
}

// A run that fails (here: the source is missing) ends the program with status 1, so a
// script calling it does not take the failure for a backup.
TEST(BackupSwitch, AFailedRunEndsWithStatusOne) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("backup"));
    SaveProfile(profileIn(dir), dir.path());

    EXPECT_EQ(runBackupSwitch(dir, "mzdy"), 1);
    EXPECT_FALSE(readLastRunIfAny(dir.path(), "Mzdy").has_value());
}

// A directory that cannot be read is named in the logs, and the program ends with
// status 2: the backup is there, but not everything is in it.
TEST(BackupSwitch, AnUnreadableDirectoryEndsWithStatusTwo) {
    TempDir dir;
    dir.write("data/a.txt", "first file");
    dir.write("data/closed/b.txt", "second file");
    std::filesystem::create_directories(dir.file("backup"));
    SaveProfile(profileIn(dir), dir.path());
    std::filesystem::permissions(dir.file("data/closed"), std::filesystem::perms::none);
    std::string listing; // the closed directory, listed the way the program will run
    for (const std::string& part : withoutPermissionOverride("/bin/ls"))
        listing += part + " ";
    if (runCommand(listing + dir.path()) != 0 || runCommand(listing + dir.file("data/closed")) == 0)
        GTEST_SKIP() << "permissions cannot be enforced here";

    EXPECT_EQ(runBackupSwitch(dir, "Mzdy"), 2);
    std::filesystem::permissions(dir.file("data/closed"), std::filesystem::perms::owner_all);
    EXPECT_NE(readWholeFile(dir.file("Mzdy.log")).find(dir.file("data/closed/") + "\" nelze"),
              std::string::npos);
    EXPECT_TRUE(readLastRunIfAny(dir.path(), "Mzdy").has_value());
}

// Without a display a profile name that matches nothing is reported on standard error
// and the program ends with status 1 instead of waiting for a box nobody can answer.
TEST(BackupSwitch, AnUnknownProfileEndsWithStatusOneWithoutADisplay) {
    TempDir dir;
    EXPECT_EQ(runBackupSwitch(dir, "nobody"), 1);
}

} // namespace
