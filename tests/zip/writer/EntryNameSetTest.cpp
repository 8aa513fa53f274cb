// The set of entry names a new archive holds: every name added is found, a second one
// of a name is refused, letter case counts, and growing keeps what was added.
#include <gtest/gtest.h>

#include <string>

#include "zip/writer/EntryNameSet.h"

namespace kd {

TEST(EntryNameSet, FindsEveryNameAddedAndRefusesASecondOne) {
    EntryNameSet names;
    EXPECT_FALSE(names.Contains("a.txt"));
    // No room reserved: the table grows many times over.
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(names.Insert("dir" + std::to_string(i % 7) + "/f" + std::to_string(i)));
    EXPECT_EQ(names.Size(), 5000u);
    for (int i = 0; i < 5000; ++i) {
        const std::string name = "dir" + std::to_string(i % 7) + "/f" + std::to_string(i);
        ASSERT_TRUE(names.Contains(name)) << name;
        ASSERT_FALSE(names.Insert(name)) << name;
    }
    EXPECT_EQ(names.Size(), 5000u);
    EXPECT_FALSE(names.Contains("dir1/f7")); // f7 went into dir0
    EXPECT_FALSE(names.Contains("dir1/f5000"));
}

TEST(EntryNameSet, TellsNamesApartByCaseAndByEveryByte) {
    EntryNameSet names;
    names.Reserve(4);
    EXPECT_TRUE(names.Insert("Readme.TXT"));
    EXPECT_TRUE(names.Insert("readme.txt"));
    EXPECT_TRUE(names.Insert("readme.tx"));  // a prefix of the one before
    EXPECT_TRUE(names.Insert("readme.txt/")); // a directory of the same name
    EXPECT_TRUE(names.Insert(""));
    EXPECT_FALSE(names.Insert("readme.tx"));
    EXPECT_TRUE(names.Contains("Readme.TXT"));
    EXPECT_FALSE(names.Contains("README.TXT"));
    EXPECT_TRUE(names.Contains(""));
    EXPECT_EQ(names.Size(), 5u);
}

} // namespace kd
