// The sweep of temporary files that killed runs left: only stale regular files of the
// program's prefix go.
#include <gtest/gtest.h>

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
