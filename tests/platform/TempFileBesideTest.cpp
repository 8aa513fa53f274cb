// Temporary files beside a target: unnamed until published where the file system
// allows, named with the program's prefix elsewhere; either way nothing but the
// published target stays, and a sweep removes only stale files of the prefix.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/Exception.h"
#include "platform/TempFileBeside.h"
#include "support/TempDir.h"

using namespace kd;

namespace fs = std::filesystem;

namespace {

std::set<std::string> namesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(dir))
        names.insert(item.path().filename().string());
    return names;
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeAll(const TempFileBeside& file, const std::string& bytes) {
    ASSERT_EQ(::write(file.Fd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// Both kinds of file: unnamed (true) where the file system makes them, and named.
class TempFileBesideTest : public ::testing::TestWithParam<bool> {
protected:
    TempFileBesideTest() {
        TempFileBeside::SetUnnamedAllowed(GetParam());
        target_ = t_.write("target.txt", "old content");
    }
    ~TempFileBesideTest() override { TempFileBeside::SetUnnamedAllowed(true); }
    void SetUp() override {
        if (GetParam() && TempFileBeside(target_, 0600).Named())
            GTEST_SKIP() << "the file system makes no unnamed temporary files";
    }

    test::TempDir t_;
    std::string target_;
};

TEST_P(TempFileBesideTest, TargetChangesOnlyAtPublishAndNothingElseStays) {
    {
        TempFileBeside file(target_, 0600);
        EXPECT_EQ(file.Named(), !GetParam());
        writeAll(file, "new content");
        EXPECT_EQ(bytesOf(target_), "old content");
        const auto pending = namesIn(t_.path());
        if (GetParam()) {
            EXPECT_EQ(pending, std::set<std::string>{"target.txt"});
        } else {
            ASSERT_EQ(pending.size(), 2u);
            EXPECT_TRUE(TempFileBeside::IsTempFileName(*pending.begin()));
        }
        file.Publish();
        EXPECT_EQ(bytesOf(target_), "new content");
    }
    EXPECT_EQ(namesIn(t_.path()), std::set<std::string>{"target.txt"});
}

TEST_P(TempFileBesideTest, UnpublishedOrRefusedFileLeavesNothing) {
    t_.write("blocked/inside", "a directory in the way");
    {
        TempFileBeside dropped(target_, 0600);
        writeAll(dropped, "never used");
        TempFileBeside refused(t_.file("blocked"), 0600);
        EXPECT_THROW(refused.Publish(), Exception);
        const auto scratch = TempFileBeside::InDirectory(t_.path(), 0600);
        EXPECT_THROW(scratch->Publish(), Exception);
    }
    EXPECT_EQ(namesIn(t_.path()), (std::set<std::string>{"blocked", "target.txt"}));
    EXPECT_EQ(bytesOf(target_), "old content");
}

INSTANTIATE_TEST_SUITE_P(Kinds, TempFileBesideTest, ::testing::Values(true, false),
                         [](const auto& param) { return param.param ? "Unnamed" : "Named"; });

TEST(TempFileBesideSweep, RemovesOnlyStaleRegularFilesOfThePrefix) {
    test::TempDir t;
    test::TempDir outside;
    const std::string prefix(kTempFilePrefix);
    t.write(prefix + "stale1", "left by a killed run");
    t.write(prefix + "dir/keep", "a directory is never swept");
    t.write(".ZTFabcdef", "not ours");
    t.write("data.txt", "user data");
    const std::string linked = outside.write("linked.txt", "reached through a link");
    fs::create_symlink(linked, t.file(prefix + "link"));
    TempFileBeside::SetUnnamedAllowed(false);
    TempFileBeside live(t.file("target.txt"), 0600); // a run still writing
    TempFileBeside::SetUnnamedAllowed(true);
    const auto before = namesIn(t.path());

    EXPECT_EQ(TempFileBeside::SweepStale(t.path()), 1);
    auto expected = before;
    expected.erase(prefix + "stale1");
    EXPECT_EQ(namesIn(t.path()), expected);
    EXPECT_EQ(bytesOf(linked), "reached through a link");
    live.Publish();
    EXPECT_EQ(TempFileBeside::SweepStale(t.path()), 0);
}

} // namespace
