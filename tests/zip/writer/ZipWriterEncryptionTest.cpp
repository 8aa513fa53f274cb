// The encryption header of entries the writer encrypts.
#include <gtest/gtest.h>

#include "zip/format/ZipCrypt.h"
#include "zip/support/DecompressTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

TEST(ZipWriterEncryption, TheHeaderEndsWithBothHighBytesOfTheCrc) {
    test::TempDir t;
    const std::map<std::string, std::string> files{
        {"empty.txt", ""},
        {"text.txt", std::string(40000, 't')},
        {"random.bin", test::randomBytes(70000, 5)},
        {"small.txt", "a few bytes"},
    };
    std::map<std::string, std::string> expected;
    for (const auto& [name, bytes] : files)
        expected[name] = t.write("tree/" + name, bytes);
    test::WriterBench bench(t);
    bench.zip.SetRootDir(t.file("tree"));
    bench.zip.SetPassword("tajne heslo");
    ASSERT_EQ(bench.add({"*.*"}), static_cast<int>(files.size()));

    const auto entries = test::ReadZipEntries(bench.archive);
    ASSERT_EQ(entries.size(), files.size());
    for (const test::ZipTestEntry& e : entries) {
        ASSERT_TRUE(e.flags & 1) << e.name;
        ASSERT_GE(e.data.size(), ZipCrypt::kHeaderSize) << e.name;
        ZipCrypt crypt;
        crypt.InitCipherKeys("tajne heslo");
        ZipCrypt::Header header;
        std::copy_n(e.data.begin(), header.size(), header.begin());
        crypt.DecryptBuffer(header.data(), header.size());
        EXPECT_EQ(header[10], (e.crc >> 16) & 0xFF) << e.name;
        EXPECT_EQ(header[11], e.crc >> 24) << e.name;
    }
    EXPECT_EQ(test::zipfileMismatches(bench.archive, expected, "tajne heslo"), "");
    test::expectToolsAccept(bench.archive, "tajne heslo");
}
