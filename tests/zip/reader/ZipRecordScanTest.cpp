// Finding records by their signatures when the directory is lost: right over
// megabytes of false candidates, and without reading the stream once per candidate.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/MemoryStream.h"
#include "zip/format/RecordSignatures.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/format/ZipRecords.h"
#include "zip/reader/ZipRecordScan.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace kd {

namespace {

// Counts the reads that reach the stream.
class CountingStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    std::size_t Read(void* buffer, std::size_t count) override {
        ++reads;
        return MemoryStream::Read(buffer, count);
    }
    int reads = 0;
};

// A stub's bytes holding local-header signatures that pass the version check, each
// naming an entry whose data end `reach` bytes further on, where no record stands.
std::string falseCandidates(std::size_t bytes, std::uint32_t reach) {
    std::string header(31, '\0');
    auto* h = reinterpret_cast<std::uint8_t*>(header.data());
    PutLE32(h, kLocalSignature);
    h[4] = 20;
    PutLE32(h + 18, reach);
    h[26] = 1;
    header[30] = 'x';
    std::string out = "stub";
    while (out.size() + header.size() <= bytes)
        out += header;
    return out + std::string(bytes - out.size(), 'y');
}

// The read system calls this process has made.
long readCalls() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long value = 0;
    while (io >> key >> value)
        if (key == "syscr:")
            return value;
    return 0;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(ZipRecordScan, FalseCandidatesCostNoReadEach) {
    // Candidates whose data end inside the scanned stretch, far ahead of it, and
    // past the end of the file; then a real entry that the end of the file follows.
    for (const std::uint32_t reach : {100u, 3u << 20, 1u << 30}) {
        SCOPED_TRACE(reach);
        std::string bytes = falseCandidates(4 << 20, reach);
        const auto real = static_cast<std::int64_t>(bytes.size());
        std::string header(30, '\0');
        auto* h = reinterpret_cast<std::uint8_t*>(header.data());
        PutLE32(h, kLocalSignature);
        h[4] = 20;
        PutLE32(h + 18, 4);
        PutLE32(h + 22, 4);
        h[26] = 5;
        bytes += header + "a.txt" + "data";
        CountingStream stream(bytes);
        int pumps = 0;
        ZipRecordScan scan(stream, [&pumps] { ++pumps; });
        EXPECT_EQ(scan.FirstLocalHeader(), real);
        // 135,000 candidates: a few reads per megabyte scanned, not one per candidate.
        EXPECT_LT(stream.reads, 2000);
        EXPECT_GE(pumps, 4);
    }
}

TEST(ZipRecordScan, DescriptorIsFoundBehindFalseCandidates) {
    // Stored data full of local and descriptor signatures, then the true descriptor.
    std::string data;
    for (int i = 0; i < 20000; ++i)
        data += std::string("PK\x03\x04PK\x07\x08", 8) + "12345678";
    const std::string descriptor = [&] {
        std::string d(16, '\0');
        auto* p = reinterpret_cast<std::uint8_t*>(d.data());
        PutLE32(p, 0x08074B50);
        PutLE32(p + 4, 0xCAFE);
        PutLE32(p + 8, static_cast<std::uint32_t>(data.size()));
        PutLE32(p + 12, static_cast<std::uint32_t>(data.size()));
        return d;
    }();
    CountingStream stream("head" + data + descriptor + "PK\x01\x02");
    ZipRecordScan scan(stream, [] {});
    const auto found = scan.SearchDescriptor(4);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->crc, 0xCAFEu);
    EXPECT_EQ(found->compressed, data.size());
    EXPECT_EQ(found->next, static_cast<std::int64_t>(4 + data.size() + 16));
    EXPECT_LT(stream.reads, 20);
}

TEST(ZipRecordScan, ArchiveBehindMegabytesOfCandidatesIsRebuiltWhole) {
    test::TempDir t;
    test::makeReaderTree(t);
    test::mustRun("cd " + t.file("tree") + " && zip -qr ../good.zip .");
    const std::string archive =
        t.write("stub.zip", falseCandidates(3 << 20, 5000) + readFile(t.file("good.zip")));
    TZipReader zip;
    zip.SetZipName(archive);
    zip.SetIncompleteZipMode(TIncompleteZipMode::izAssumeBad);
    const long before = readCalls();
    zip.OpenAndReadDirectory();
    // 100,000 false candidates in front: reads by the megabyte, not by the candidate.
    EXPECT_LT(readCalls() - before, 1000);
    EXPECT_EQ(test::readerListing(zip), test::zipfileListing(archive));
}

} // namespace kd

namespace kd {

TEST(ZipRecordScan, LooksForTheSignaturesInForce) {
    // Two local headers written with another local signature, behind bytes holding
    // the standard one: the scan finds the first of them, and the standard one again
    // once the signatures are set back.
    struct Restore {
        ~Restore() { SetRecordSignatures(0, 0, 0); }
    } restore;
    const std::string standardHeader = falseCandidates(200, 0);
    SetRecordSignatures(0, 0x0A0B0C0D, 0);
    MemoryStream records;
    for (const char* name : {"a.txt", "b.txt"}) {
        TZipHeaderInfo entry;
        entry.Method = 0;
        entry.CompressedSize = entry.UncompressedSize = 1;
        entry.SetFullName(name);
        entry.WriteLocalHeader(records);
        records.WriteBuffer("x", 1);
    }
    MemoryStream own(standardHeader + records.Bytes());
    ZipRecordScan scan(own, [] {});
    EXPECT_EQ(scan.FirstLocalHeader(), static_cast<std::int64_t>(standardHeader.size()));

    SetRecordSignatures(0, 0, 0);
    ZipRecordScan standard(own, [] {});
    EXPECT_NE(standard.FirstLocalHeader(), static_cast<std::int64_t>(standardHeader.size()));
}

} // namespace kd
