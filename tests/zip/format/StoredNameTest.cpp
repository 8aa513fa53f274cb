// A header read from an archive and written again (an update copying an entry of a
// damaged directory) keeps its name bytes and UTF-8 flag.
#include <gtest/gtest.h>

#include "platform/MemoryStream.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZipRecords.h"

using namespace kd;

TEST(StoredName, AHeaderWrittenAgainKeepsItsBytesUntilRenamed) {
    // Made on MS-DOS with a UTF-8 name and the flag, as Windows tools write it; CP852
    // could hold the name too.
    const std::string name = "účty/kůň.txt";
    std::string stored(46, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(stored.data());
    PutLE32(p, kCentralSignature);
    PutLE16(p + 8, kFlagUtf8Name);
    PutLE32(p + 12, 0x50B163D6); // 2020-05-17 12:30:44
    PutLE16(p + 28, static_cast<std::uint16_t>(name.size()));
    stored += name;
    MemoryStream in(stored);
    TZipHeaderInfo entry;
    ASSERT_TRUE(entry.ReadCentralHeader(in));
    MemoryStream out;
    entry.WriteCentralHeader(out);
    EXPECT_EQ(out.Bytes(), stored);

    entry.SetFileName("žába.txt"); // a new name is encoded afresh: CP852, no flag
    entry.WriteCentralHeader(out);
    EXPECT_EQ(entry.NameLength, 13);
    EXPECT_EQ(entry.Flags & kFlagUtf8Name, 0);
}
