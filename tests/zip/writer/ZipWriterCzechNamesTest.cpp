// Czech names read right in the system's other tools and in ours.
#include <gtest/gtest.h>

#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

namespace {

const std::string kFile = "příliš žluťoučký kůň.txt";
const std::string kDir = "Dokumenty/účty/";
const std::string kInDir = kDir + "faktura č. 1.txt";

// Every entry name as zipfile decodes it, its flag bits and host.
std::string zipfileNames(const std::string& archive) {
    std::string out;
    test::runCommand("python3 -c 'import sys, zipfile\n"
                     "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
                     "    print(i.filename, i.flag_bits & 0x800, i.create_system, sep=\"|\")' '" +
                         archive + "'",
                     &out);
    return out;
}

std::vector<std::string> readerNames(const std::string& archive) {
    TZipReader zip;
    zip.SetZipName(archive);
    zip.OpenAndReadDirectory();
    std::vector<std::string> names;
    for (int i = 0; i < zip.GetEntryCount(); ++i)
        names.push_back(zip.GetEntryPath(i) + zip.GetEntryFileName(i));
    return names;
}

TEST(ZipWriterCzechNames, ReadRightInUnzip7zZipfileAndOurReader) {
    test::TempDir t;
    t.write("tree/" + kFile, "kůň");
    t.write("tree/" + kInDir, "účet");
    t.write("tree/ascii.txt", "plain");
    test::WriterBench bench(t);
    bench.zip.SetRootDir(t.file("tree/"));
    bench.zip.SetRelativePaths(true);
    bench.zip.SetRecurse(true);
    bench.zip.SetAddDirEntriesOnRecurse(true);
    ASSERT_EQ(bench.add({"*.*"}), 5);
    test::expectToolsAccept(bench.archive);

    // UTF-8 with flag bit 11 where a name needs it, plain ASCII as it is; made on Unix.
    EXPECT_EQ(zipfileNames(bench.archive), "Dokumenty/|0|3\n" + kDir + "|2048|3\n" + kInDir +
                                               "|2048|3\nascii.txt|0|3\n" + kFile + "|2048|3\n");
    for (const std::string lister : {"unzip -l", "7z l"}) {
        std::string out;
        EXPECT_EQ(test::runCommand("LC_ALL=C.UTF-8 " + lister + " " + bench.archive, &out), 0);
        for (const std::string& name : {kFile, kDir, kInDir})
            EXPECT_NE(out.find(name), std::string::npos) << lister << " shows " << out;
    }
    EXPECT_EQ(readerNames(bench.archive),
              (std::vector<std::string>{"Dokumenty/", kDir, kInDir, "ascii.txt", kFile}));
}

} // namespace
