#include "zip/support/ZipReaderTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "zip/format/ZipRecords.h"

namespace kd::test {

void makeReaderTree(const TempDir& t) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "line " + std::to_string(i) + " of a compressible text\n";
    t.write("tree/a.txt", text);
    t.write("tree/empty.txt", "");
    t.write("tree/sub/b.bin", randomBytes(20000));
    t.write("tree/sub/deeper/c.txt", "c");
}

void mustRun(const std::string& command) {
    std::string out;
    ASSERT_EQ(runCommand(command, &out), 0) << command << "\n" << out;
}

std::string zipfileListing(const std::string& archive) {
    const std::string script = R"(import sys, zipfile
zf = zipfile.ZipFile(sys.argv[1], metadata_encoding="utf-8")
print("COMMENT", zf.comment.hex(), sep="\t")
for i in zf.infolist():
    y, m, d, H, M, S = i.date_time
    dos = ((y - 1980) << 9 | m << 5 | d) << 16 | H << 11 | M << 5 | S // 2
    print(i.filename, i.file_size, i.compress_size, i.CRC, i.compress_type, dos,
          i.external_attr, i.flag_bits & 1, i.comment.hex(), sep="\t"))";
    std::string out;
    EXPECT_EQ(runCommand("python3 -c '" + script + "' '" + archive + "'", &out), 0) << out;
    return out;
}

namespace {

std::string hex(const std::string& bytes) {
    std::ostringstream out;
    for (unsigned char c : bytes)
        out << "0123456789abcdef"[c >> 4] << "0123456789abcdef"[c & 15];
    return out.str();
}

} // namespace

std::string readerListing(TZipReader& zip) {
    const TZipSortMode mode = zip.SortMode();
    zip.SortDirectory(TZipSortMode::ByNone);
    std::ostringstream out;
    out << "COMMENT\t" << hex(zip.GetArchiveComment()) << '\n';
    for (int i = 0; i < zip.GetEntryCount(); ++i) {
        const TZipHeaderInfo& e = zip.Entry(i);
        out << e.FullName() << '\t' << e.UncompressedSize << '\t' << e.CompressedSize << '\t'
            << e.Crc32 << '\t' << e.Method << '\t' << e.DosDateTime << '\t' << e.ExternalAttributes
            << '\t' << (zip.GetEntryEncrypted(i) ? 1 : 0) << '\t' << hex(zip.GetEntryComment(i))
            << '\n';
    }
    zip.SortDirectory(mode);
    return out.str();
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

} // namespace kd::test
