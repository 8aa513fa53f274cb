// The program killed (kill -9) while it writes: a backup ("a") leaves the target
// directory with the previous archive and nothing else, a restore ("o") leaves the
// source directory as it was.
#include "ChildProcess.h"
#include "ProgramCopy.h"
#include "app/core/profiles/ObjektZal.h"
#include "platform/TempFileBeside.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace kd;
using namespace kd::test;

namespace {

namespace fs = std::filesystem;

// Name -> size and hash of each file in dir.
std::map<std::string, std::string> contentsOf(const std::string& dir) {
    std::map<std::string, std::string> contents;
    for (const auto& item : fs::directory_iterator(dir)) {
        std::ifstream in(item.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string data = bytes.str();
        contents[item.path().filename().string()] = std::to_string(data.size()) + " bytes, hash " +
                                                    std::to_string(std::hash<std::string>{}(data));
    }
    return contents;
}

// True when pid has a file of more than 1 MiB open in dir that dir did not hold
// before: the file it is writing there.
bool writesIn(pid_t pid, const std::string& dir, const std::map<std::string, std::string>& before) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator(fds, ec)) {
        const fs::path open = fs::read_symlink(fd.path(), ec);
        struct stat st {};
        if (!ec && open.parent_path() == dir && !before.count(open.filename().string()) &&
            ::stat(fd.path().c_str(), &st) == 0 && st.st_size > (1 << 20))
            return true;
    }
    return false;
}

class KilledRun : public ::testing::Test {
protected:
    KilledRun() {
        dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\n");
        dir.write("data/small.txt", "a small file");
        fs::create_directories(dir.file("backup"));
        TObjektZal profile;
        profile.Name = "Mzdy";
        profile.SourceDir = source + "/";
        profile.TargetDir = target + "/";
        profile.Masks = "*.txt";
        SaveProfile(profile, dir.path());
        if (TempFileBeside(target + "/probe", 0600).Named() ||
            TempFileBeside(source + "/probe", 0600).Named())
            unnamedFiles = false;
    }

    // A file of bytes that do not compress, large enough to take a while.
    void bigFile() {
        std::string bytes(32 << 20, '\0');
        std::uint32_t seed = 1;
        for (char& c : bytes)
            c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
        dir.write("data/big.txt", bytes);
    }
    std::unique_ptr<ChildProcess> start(const std::string& which) {
        return std::make_unique<ChildProcess>(
            program.path(), std::vector<std::string>{program.path(), which, "Mzdy"},
            std::vector<std::string>{"XDG_CONFIG_HOME=" + config.path(),
                                     "XDG_STATE_HOME=" + config.path(),
                                     "QT_QPA_PLATFORM=offscreen"});
    }
    // Runs the switch and kills the program once it writes in watched; false when it
    // was not seen writing there.
    bool killWhileWriting(const std::string& which, const std::string& watched) {
        const auto before = contentsOf(watched);
        const auto process = start(which);
        // Looked at every millisecond: a restore writes even this file in a few.
        const bool caught = eventually([&] { return writesIn(process->pid(), watched, before); },
                                       std::chrono::seconds(20), std::chrono::milliseconds(1));
        process->kill();
        process->waitForExit();
        return caught;
    }

    TempDir dir;
    TempDir config;
    ProgramCopy program{dir.path()};
    std::string source = dir.file("data");
    std::string target = dir.file("backup");
    bool unnamedFiles = true;
};

TEST_F(KilledRun, BackupLeavesThePreviousArchiveAndNothingElse) {
    if (!unnamedFiles)
        GTEST_SKIP() << "the file system makes no unnamed temporary files";
    ASSERT_EQ(start("a")->waitForExit(), 0);
    const auto before = contentsOf(target);
    ASSERT_EQ(before.size(), 1u);
    bigFile();
    ASSERT_TRUE(killWhileWriting("a", target));
    EXPECT_EQ(contentsOf(target), before);
}

TEST_F(KilledRun, RestoreLeavesTheSourceAsItWas) {
    if (!unnamedFiles)
        GTEST_SKIP() << "the file system makes no unnamed temporary files";
    bigFile();
    ASSERT_EQ(start("a")->waitForExit(), 0);
    fs::remove(dir.file("data/big.txt"));
    const auto before = contentsOf(source);
    ASSERT_TRUE(killWhileWriting("o", source));
    EXPECT_EQ(contentsOf(source), before);
}

} // namespace
