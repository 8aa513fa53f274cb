// Directories listed ahead on other threads come out as if listed when taken.
#include <gtest/gtest.h>

#include <string>
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

TEST(ListingAhead, GivesTheListingsOfListDirectoryWithinItsLimit) {
    test::TempDir t;
    for (const std::string dir : {"a", "b", "c"})
        for (int i = 0; i < 30; ++i)
            t.write(dir + "/f" + std::to_string(i), dir);
    t.write("b/sub/x", "x");
    const std::string a = t.file("a/"), b = t.file("b/"), c = t.file("c/");
    ListingAhead ahead(2, 2);
    EXPECT_TRUE(ahead.Ask(a));
    EXPECT_TRUE(ahead.Ask(b));
    EXPECT_TRUE(ahead.Ask(b)); // already asked
    EXPECT_FALSE(ahead.Ask(c));
    EXPECT_EQ(names(ahead.Take(b)), names(listDirectory(b)));
    EXPECT_TRUE(ahead.Ask(c)); // room again
    EXPECT_EQ(names(ahead.Take(a)), names(listDirectory(a)));
    EXPECT_EQ(names(ahead.Take(c)), names(listDirectory(c)));
    EXPECT_EQ(names(ahead.Take(t.file("b/sub/"))), std::vector<std::string>{"x"}); // never asked
    EXPECT_NE(ahead.Take(t.file("gone/")).error, 0);
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
