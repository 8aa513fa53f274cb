// ZIP64 is refused only where it is: a locator that leads to a ZIP64 end record, or
// an entry whose field stands at its maximum and which carries a ZIP64 extra field.
// Bytes that merely look like ZIP64 leave an archive readable, as unzip reads it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/FakeVolumeService.h"
#include "support/ScriptedUiHost.h"
#include "zip/format/ZipRecords.h"
#include "zip/support/ZipReaderTestSupport.h"

using namespace kd;
using test::mustRun;

namespace {

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string le(std::uint64_t value, int width) {
    std::string bytes;
    for (int i = 0; i < width; ++i)
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    bytes.replace(at, 4, le(value, 4));
}

class ZipReaderZip64 : public ::testing::Test {
protected:
    // One stored entry "a.txt" ("hello") with an 8-byte extra field of an unknown tag
    // (0x9999) in both headers, and the entry comment given.
    std::string plainArchive(const std::string& entryComment = "") {
        const std::string archive = t_.file("plain.zip");
        mustRun(R"(python3 -c '
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as zf:
    info = zipfile.ZipInfo("a.txt", date_time=(2020, 1, 1, 12, 0, 0))
    info.extra = b"\x99\x99\x08\x00" + (5).to_bytes(8, "little")
    info.comment = bytes.fromhex(sys.argv[2])
    zf.writestr(info, "hello")
' )" + archive + " '" +
                hex(entryComment) + "'");
        return readBytes(archive);
    }

    static std::string hex(const std::string& bytes) {
        std::string text;
        for (unsigned char c : bytes) {
            static const char* digits = "0123456789abcdef";
            text += digits[c >> 4];
            text += digits[c & 15];
        }
        return text;
    }

    // Reads the archive; "refused" when it is taken for ZIP64, else its entry count.
    std::string outcome(const std::string& bytes) {
        const std::string archive = t_.write("test.zip", bytes);
        TZipReader zip(ui_, volumes_);
        zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
        zip.SetZipName(archive);
        try {
            zip.OpenAndReadDirectory();
        } catch (const EZip64NotSupported&) {
            return "refused";
        }
        return std::to_string(zip.GetEntryCount()) + " " + zip.GetEntryFileName(0);
    }

    test::TempDir t_;
    test::ScriptedUiHost ui_;
    FakeVolumeService volumes_;
};

} // namespace

TEST_F(ZipReaderZip64, AZip64EndRecordAloneIsRefused) {
    // A ZIP64 end record and its locator between the directory and the end record;
    // the entries themselves are plain.
    std::string bytes = plainArchive();
    const std::size_t end = bytes.rfind("PK\x05\x06");
    const std::size_t central = bytes.rfind("PK\x01\x02");
    const std::string zip64End = le(0x06064B50, 4) + le(44, 8) + le(45, 2) + le(45, 2) + le(0, 4) +
                                 le(0, 4) + le(1, 8) + le(1, 8) + le(end - central, 8) +
                                 le(central, 8);
    const std::string locator = le(0x07064B50, 4) + le(0, 4) + le(end, 8) + le(1, 4);
    EXPECT_EQ(outcome(bytes), "1 a.txt");
    bytes.insert(end, zip64End + locator);
    EXPECT_EQ(outcome(bytes), "refused");
}

TEST_F(ZipReaderZip64, AnEntryAtItsMaximumWithAZip64FieldIsRefused) {
    std::string bytes = plainArchive();
    const std::size_t central = bytes.rfind("PK\x01\x02");
    const std::size_t extra = central + kCentralHeaderFixed + 5;
    ASSERT_EQ(bytes.substr(extra, 2), "\x99\x99");
    put32(bytes, central + 24, 0xFFFFFFFF); // the uncompressed size
    EXPECT_EQ(outcome(bytes), "1 a.txt");   // damaged, but no ZIP64: listed
    bytes[extra] = 1;                       // the field now holds the 64-bit size
    bytes[extra + 1] = 0;
    EXPECT_EQ(outcome(bytes), "refused");
}

TEST_F(ZipReaderZip64, BytesThatOnlyLookLikeALocatorLeaveTheArchivePlain) {
    // The entry's comment ends the directory with a locator's signature whose offset
    // leads to the local header, not to a ZIP64 end record (unzip reads the archive
    // as plain); the same with a count of disks that unzip takes for a locator; then
    // one leading to a record too short to be one.
    std::string bytes = plainArchive("PK\x06\x07" + le(0, 4) + le(0, 8) + le(0, 4));
    t_.write("unzip.zip", bytes);
    mustRun("unzip -tqq " + t_.file("unzip.zip"));
    EXPECT_EQ(outcome(bytes), "1 a.txt");
    bytes = plainArchive("PK\x06\x07" + le(0, 4) + le(0, 8) + le(1, 4));
    EXPECT_EQ(outcome(bytes), "1 a.txt");

    const std::string shortRecord = "PK\x06\x06" + le(8, 8);
    bytes = plainArchive(shortRecord + "PK\x06\x07" + le(0, 4) + le(0, 8) + le(1, 4));
    const std::size_t record = bytes.rfind(shortRecord);
    bytes.replace(bytes.rfind("PK\x06\x07") + 8, 8, le(record, 8));
    EXPECT_EQ(outcome(bytes), "1 a.txt");
}
