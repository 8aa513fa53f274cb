// The sweep of temporary files that killed runs left: only stale regular files of the
// program's prefix go.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
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

// An unnamed file is out of a sweep's reach until it takes a temporary name beside a
// file it is to replace; from then on a sweep passes it by while it lives.
TEST(TempFileBesideSweep, PassesByAFileStagedUnderATemporaryName) {
    TempFileBeside::SetUnnamedAllowed(true);
    test::TempDir t;
    t.write("taken.txt", "old");
    const auto dir = std::make_shared<const UniqueFd>(::open(t.path().c_str(), O_RDONLY));
    {
        TempFileBeside file(dir, "taken.txt", t.file("taken.txt"), 0600);
        ASSERT_FALSE(file.Named());
        ASSERT_EQ(::write(file.Fd(), "new", 3), 3);
        ASSERT_TRUE(file.StageInto(dir->get(), "taken.txt", t.file("taken.txt")));
        const auto staged = namesIn(t.path());
        ASSERT_EQ(staged.size(), 2u);
        EXPECT_EQ(TempFileBeside::SweepStale(t.path()), 0);
        EXPECT_EQ(namesIn(t.path()), staged);
        file.Publish();
    }
    EXPECT_EQ(namesIn(t.path()), std::set<std::string>{"taken.txt"});
    EXPECT_EQ(bytesOf(t.file("taken.txt")), "new");
}

// The bits of an unnamed file may be its final ones from the start; a named file,
// which others could open meanwhile, gets the private mode all the same. The
// directory is shared, so it stays open for the file alone.
TEST(TempFileBesideModes, OnlyAnUnnamedFileIsMadeWithItsFinalBits) {
    test::TempDir t;
    const mode_t umask = ::umask(022);
    for (const bool unnamed : {true, false}) {
        TempFileBeside::SetUnnamedAllowed(unnamed);
        auto dir = std::make_shared<const UniqueFd>(::open(t.path().c_str(), O_RDONLY));
        TempFileBeside file(dir, "f.txt", t.file("f.txt"), 0600, 0640);
        dir.reset();
        struct stat st {};
        ASSERT_EQ(::fstat(file.Fd(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, unnamed ? 0640u : 0600u) << unnamed;
        file.Publish();
        EXPECT_EQ(bytesOf(t.file("f.txt")), "") << unnamed;
    }
    ::umask(umask);
    TempFileBeside::SetUnnamedAllowed(true);
}
