#include "zip/support/RecordedWriter.h"

#include "zip/support/ZipReaderTestSupport.h"

namespace kd::test {

void writeMixedTree(const TempDir& t) {
    t.write("tree/empty.txt", "");
    t.write("tree/sub/empty2.bin", "");
    for (int i = 0; i < 40; ++i)
        t.write("tree/sub/small" + std::to_string(i) + ".txt",
                std::string(static_cast<std::size_t>(i * 37), static_cast<char>('a' + i % 26)));
    t.write("tree/random.bin", randomBytes(150000, 3));
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "line " + std::to_string(i % 97) + " of the text\n";
    t.write("tree/text.txt", text);
    t.write("tree/packed.zip", randomBytes(5000, 4));
    t.write("tree/large.bin", text + randomBytes(200000, 5) + text);
}

RecordedWriter::RecordedWriter(TempDir& dir, const std::string& archive, int threads,
                               std::uint64_t bound)
    : t(dir) {
    bench.archive = t.file(archive);
    TZipWriter& zip = bench.zip;
    zip.SetZipName(bench.archive);
    zip.SetRootDir(t.file("tree"));
    zip.SetRecurse(true);
    zip.SetStorePaths(true);
    zip.SetRelativePaths(true);
    zip.SetNoCompressList({"*.zip"});
    zip.SetThreads(threads);
    zip.SetMemoryInFlight(bound);
    zip.OnStartZip = [this](TZipWriter&, const std::string& name, TZipHeaderInfo&, bool&) {
        log += "start " + name + "\n";
    };
    zip.OnEndZip = [this](TZipWriter&, const std::string& name, std::uint32_t size,
                          std::uint32_t packed, std::int64_t at) {
        log += "end " + name + " " + std::to_string(size) + " " + std::to_string(packed) + " " +
               std::to_string(at) + "\n";
    };
    zip.OnFilePercentDone = [this](TZipReader&, int p) {
        log += "file " + std::to_string(p) + "\n";
    };
    zip.OnTotalPercentDone = [this](TZipReader&, int p) {
        log += "total " + std::to_string(p) + "\n";
    };
    zip.OnSkippingFile = [this](TZipReader&, TSkipReason reason, const std::string& name, int,
                                bool&) {
        log += "skip " + std::to_string(static_cast<int>(reason)) + " " + name + "\n";
    };
    zip.OnUpdate = [this](TZipWriter&, TUpdateAction action, int index) {
        log += "update " + std::to_string(static_cast<int>(action)) + " " + std::to_string(index) +
               "\n";
    };
}

} // namespace kd::test
