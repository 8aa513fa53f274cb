// The archive attribute: set until reset, set again when the file changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/ArchiveAttributeStore.h"
#include "support/TempDir.h"

using namespace kd;

namespace {

void edit(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::app) << text;
}

class ArchiveAttributeStoreTest : public ::testing::TestWithParam<bool> {};

TEST_P(ArchiveAttributeStoreTest, ResetHoldsUntilTheFileChanges) {
    test::TempDir t;
    const std::string index = t.file("state/archived.idx");
    const std::string file = t.write("dir/with space.txt", "one");
    {
        ArchiveAttributeStore store(index);
        store.SetUseXattr(GetParam());
        EXPECT_TRUE(store.IsSet(file));
        store.Reset(file, *ArchiveAttribute::StampOf(file));
        EXPECT_FALSE(store.IsSet(file));
    }
    // A new store (a new run of the program) sees the same.
    ArchiveAttributeStore store(index);
    store.SetUseXattr(GetParam());
    EXPECT_FALSE(store.IsSet(file));
    EXPECT_EQ(std::filesystem::exists(index), !GetParam());

    // Changed after it was archived: set, even when the reset comes later with the
    // stamp taken when it was archived.
    const ArchiveStamp archived = *ArchiveAttribute::StampOf(file);
    edit(file, "two");
    store.Reset(file, archived);
    EXPECT_TRUE(store.IsSet(file));

    // A copy with the same time and size is another file.
    store.Reset(file, *ArchiveAttribute::StampOf(file));
    std::filesystem::copy_file(file, t.file("copy.txt"));
    std::filesystem::last_write_time(t.file("copy.txt"), std::filesystem::last_write_time(file));
    EXPECT_TRUE(store.IsSet(t.file("copy.txt")));
    EXPECT_TRUE(store.IsSet(t.file("missing.txt")));
}

INSTANTIATE_TEST_SUITE_P(Where, ArchiveAttributeStoreTest, ::testing::Values(true, false),
                         [](const auto& param) {
                             return param.param ? "ExtendedAttribute" : "IndexFile";
                         });

} // namespace
