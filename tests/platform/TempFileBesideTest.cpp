// The sweep of temporary files that killed runs left: only stale regular files of the
// program's prefix go.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

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

} // namespace

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

// A file made in one directory and moved into another: a file of the name is kept
// until Publish, and a file never published leaves nothing, named or not.
TEST(TempFileBesideStage, ReplacesOnlyOnPublishAndLeavesNothingOtherwise) {
    for (const bool unnamed : {true, false}) {
        TempFileBeside::SetUnnamedAllowed(unnamed);
        test::TempDir t;
        t.write("target/taken.txt", "old");
        t.write("made/.keep", "");
        const UniqueFd target(::open(t.file("target").c_str(), O_RDONLY | O_DIRECTORY));
        {
            TempFileBeside file(t.file("made/any"), 0600);
            ASSERT_EQ(::write(file.Fd(), "new", 3), 3);
            ASSERT_TRUE(file.StageInto(target.get(), "taken.txt", t.file("target/taken.txt")));
            EXPECT_EQ(bytesOf(t.file("target/taken.txt")), "old");
            file.Publish();
        }
        EXPECT_EQ(bytesOf(t.file("target/taken.txt")), "new");
        {
            TempFileBeside file(t.file("made/any"), 0600);
            ASSERT_TRUE(file.StageInto(target.get(), "free.txt", t.file("target/free.txt")));
        }
        EXPECT_EQ(namesIn(t.file("target")), std::set<std::string>{"taken.txt"}) << unnamed;
        EXPECT_EQ(namesIn(t.file("made")), std::set<std::string>{".keep"}) << unnamed;
    }
    TempFileBeside::SetUnnamedAllowed(true);
}
