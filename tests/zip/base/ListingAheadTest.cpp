// Directories listed ahead on other threads come out as if listed when taken.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"
#include "zip/base/ListingAhead.h"
#include "zip/base/TDirSearch.h"

using namespace kd;

namespace {

std::vector<std::string> names(const DirListing& listing) {
    std::vector<std::string> result;
    for (const DirEntry& entry : listing.entries)
        result.push_back(entry.name + (entry.isDirectory ? "/" : ""));
    return result;
}

TEST(ListingAhead, ListsTheSubdirectoriesAheadWithinItsLimitAndGivesListDirectorysListings) {
    test::TempDir t;
    for (const std::string dir : {"top/a/x", "top/b", "top/c"})
        for (int i = 0; i < 30; ++i)
            t.write(dir + "/f" + std::to_string(i), dir);
    ListingAhead ahead(2, 2);
    const std::string top = t.file("top/");
    EXPECT_EQ(names(ahead.Take(top, false)), names(listDirectory(top)));
    EXPECT_EQ(ahead.Room(), 2u); // nothing listed ahead
    EXPECT_EQ(names(ahead.Take(top, true)), names(listDirectory(top)));
    // a and b listed ahead, then no room for more.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ahead.Room() != 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(ahead.Room(), 0u);
    // Depth first: a/x before c. Every directory listed ahead is taken, the last ones
    // perhaps before a thread started them.
    for (const std::string dir : {"top/a/", "top/a/x/", "top/b/", "top/c/"})
        EXPECT_EQ(names(ahead.Take(t.file(dir), true)), names(listDirectory(t.file(dir)))) << dir;
    EXPECT_EQ(ahead.Room(), 2u);
    EXPECT_NE(ahead.Take(t.file("gone/"), true).error, 0);
    EXPECT_EQ(ahead.Room(), 2u);
}

TEST(ListingAhead, ARecursiveSearchFindsEveryFileOfAWideTreeInOrder) {
    test::TempDir t;
    std::vector<std::string> expected{t.file("tree/")};
    for (int d = 0; d < 40; ++d) {
        const std::string dir = "tree/d" + std::to_string(100 + d);
        expected.push_back(t.file(dir + "/"));
        for (int s = 0; s < 3; ++s) {
            const std::string sub = dir + "/s" + std::to_string(s);
            expected.push_back(t.file(sub + "/"));
            expected.push_back(t.write(sub + "/file", "x"));
        }
    }
    expected.erase(expected.begin());
    TDirSearch search(t.file("tree/"), true, "*.*");
    std::vector<std::string> found;
    for (TSearchRec rec; search.NextFile(rec);)
        found.push_back(rec.Name);
    EXPECT_EQ(found, expected);
}

} // namespace
