// The record signatures in force decide what the header and end-record code writes
// and recognises; 0 brings back the standard ones.
#include <gtest/gtest.h>

#include "platform/MemoryStream.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/TEndCentral.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZipRecords.h"

using namespace kd;

namespace {

// Restores the standard signatures whatever the test does.
struct StandardSignaturesAfter {
    ~StandardSignaturesAfter() { SetRecordSignatures(0, 0, 0); }
};

// A local header, a central header and an end record written with the signatures in
// force.
std::string writeRecords() {
    MemoryStream out;
    TZipHeaderInfo entry;
    entry.SetFullName("dir/a.txt");
    entry.WriteLocalHeader(out);
    entry.WriteCentralHeader(out);
    TEndCentral end;
    end.TotalEntries = 1;
    end.WriteEndRecord(out);
    return out.Bytes();
}

bool readsBack(const std::string& bytes) {
    MemoryStream in(bytes);
    TEndCentral end;
    TZipHeaderInfo local;
    TZipHeaderInfo central;
    if (!end.FindAndReadEndRecord(in) || end.TotalEntries != 1)
        return false;
    in.Seek(0, SeekOrigin::Begin);
    if (!local.ReadLocalHeader(in))
        return false;
    in.Seek(local.LocalHeaderSize(), SeekOrigin::Begin);
    return central.ReadCentralHeader(in) && central.FullName() == "dir/a.txt";
}

} // namespace

TEST(RecordSignatures, RecordsFollowTheSignaturesInForce) {
    StandardSignaturesAfter restore;
    const std::string standard = writeRecords();
    EXPECT_EQ(standard.substr(0, 4), "PK\x03\x04");

    SetRecordSignatures(0x11223344, 0x55667788, 0x99AABBCC);
    EXPECT_EQ(Signatures().LocalBytes[0], 0x88);
    EXPECT_EQ(Signatures().EndFirstByte, 0xCC);
    const std::string own = writeRecords();
    EXPECT_EQ(GetLE32(reinterpret_cast<const std::uint8_t*>(own.data())), 0x55667788u);
    EXPECT_EQ(own.find("PK"), std::string::npos);
    EXPECT_TRUE(readsBack(own));
    EXPECT_FALSE(readsBack(standard)); // standard records are foreign now

    SetRecordSignatures(0, 0, 0);
    EXPECT_EQ(Signatures().Central, kCentralSignature);
    EXPECT_EQ(Signatures().Local, kLocalSignature);
    EXPECT_EQ(Signatures().End, kEndSignature);
    EXPECT_TRUE(readsBack(standard));
    EXPECT_FALSE(readsBack(own));
}
