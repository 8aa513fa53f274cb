// A header read from an archive and written again (an update copying old entries)
// keeps its name bytes and UTF-8 flag, whatever the host would choose today.
#include <gtest/gtest.h>

#include "platform/MemoryStream.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZipRecords.h"

using namespace kd;

namespace {

// A central header made on MS-DOS whose name is UTF-8 with flag bit 11, as Windows
// tools write it; CP852 could hold the name too.
std::string dosHeaderWithUtf8Name(const std::string& name) {
    std::string h(46, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(h.data());
    PutLE32(p, kCentralSignature);
    PutLE16(p + 4, 20);
    PutLE16(p + 6, 20);
    PutLE16(p + 8, kFlagUtf8Name);
    PutLE32(p + 12, 0x50B163D6); // 2020-05-17 12:30:44
    PutLE16(p + 28, static_cast<std::uint16_t>(name.size()));
    PutLE32(p + 38, 0x20);
    return h + name;
}

TEST(StoredName, AHeaderWrittenAgainKeepsItsBytesUntilRenamed) {
    const std::string stored = dosHeaderWithUtf8Name("účty/kůň.txt");
    MemoryStream in(stored);
    TZipHeaderInfo entry;
    ASSERT_TRUE(entry.ReadCentralHeader(in));
    EXPECT_EQ(entry.FullName(), "účty/kůň.txt");
    MemoryStream out;
    entry.WriteCentralHeader(out);
    EXPECT_EQ(out.Bytes(), stored);

    // A new name is encoded afresh: CP852 on MS-DOS, one byte per letter, no flag.
    entry.SetFileName("žába.txt");
    MemoryStream renamed;
    entry.WriteCentralHeader(renamed);
    EXPECT_EQ(entry.NameLength, 13);
    EXPECT_EQ(entry.Flags & kFlagUtf8Name, 0);
    MemoryStream back(renamed.Bytes());
    TZipHeaderInfo read;
    ASSERT_TRUE(read.ReadCentralHeader(back));
    EXPECT_EQ(read.FullName(), "účty/žába.txt");
}

} // namespace
