#include "ChildProcess.h"
#include "TestPaths.h"
#include "app/core/LastRunStamp.h"
#include "app/core/ObjektZal.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace kd;
using namespace kd::test;

namespace {

// The program started with "a" and a profile name backs that profile up and ends.
TEST(BackupSwitch, BacksUpTheNamedProfileAndEnds) {
    TempDir dir;
    TempDir config;
    const std::string program = dir.file("kordyne");
    std::filesystem::copy_file(std::string(KORDYNE_BUILD_DIR) + "/app/kordyne", program);
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
    dir.write("data/a.txt", "first file");
    dir.write("data/sub/b.txt", "second file");
    std::filesystem::create_directories(dir.file("backup"));
    TObjektZal profile;
    profile.Name = "Mzdy";
    profile.SourceDir = dir.file("data/");
    profile.TargetDir = dir.file("backup/");
    profile.Masks = "*.txt";
    profile.Recurse = true;
    SaveProfile(profile, dir.path());

    ChildProcess process(program, {program, "a", "MZDY"},
                         {"XDG_RUNTIME_DIR=" + dir.path(), "XDG_CONFIG_HOME=" + config.path(),
                          "XDG_STATE_HOME=" + config.path(), "QT_QPA_PLATFORM=offscreen"});
    EXPECT_EQ(process.waitForExit(), 0);
    std::string output;
    EXPECT_EQ(runCommand("unzip -t -qq " + dir.file("backup/Mzdy.zip"), &output), 0) << output;
    EXPECT_TRUE(readLastRunIfAny(dir.path(), "Mzdy").has_value());
    EXPECT_TRUE(std::filesystem::exists(dir.file("Mzdy.log")));
}

} // namespace
