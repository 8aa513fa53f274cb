#include "zip/support/ZipWriterTestSupport.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kd::test {

WriterBench::WriterBench(const TempDir& t) : archive(t.file("out.zip")) {
    zip.SetZipName(archive);
}

int WriterBench::add(const std::vector<std::string>& items) {
    zip.SetFilesList(items);
    return zip.AddFilesToArchive();
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string zipfileMismatches(const std::string& archive,
                              const std::map<std::string, std::string>& expected,
                              const std::string& password) {
    const std::string script = R"(import sys, zipfile
archive, pwd = sys.argv[1], sys.argv[2].encode() or None
want = dict(line.rstrip("\n").split("\t", 1) for line in sys.stdin if line.strip())
zf = zipfile.ZipFile(archive, metadata_encoding="cp852")
if pwd: zf.setpassword(pwd)
bad = zf.testzip()
if bad: print("testzip fails at", bad)
names = [i.filename for i in zf.infolist()]
if sorted(names) != sorted(want): print("names", sorted(names), "expected", sorted(want))
for name in names:
    if name not in want: continue
    data = zf.read(name)
    if name.endswith("/"):
        if data: print(name, "has data")
    elif data != open(want[name], "rb").read(): print(name, "differs")
)";
    TempDir scratch;
    std::string list;
    for (const auto& [name, path] : expected)
        list += name + "\t" + path + "\n";
    const std::string listFile = scratch.write("list.txt", list);
    const std::string scriptFile = scratch.write("check.py", script);
    std::string out;
    const int status = runCommand("python3 '" + scriptFile + "' '" + archive + "' '" + password +
                                      "' < '" + listFile + "'",
                                  &out);
    return status == 0 ? out : "python failed: " + out;
}

void expectToolsAccept(const std::string& archive, const std::string& password) {
    std::string out;
    const std::string p = password.empty() ? "" : " -P '" + password + "'";
    EXPECT_EQ(runCommand("unzip -t" + p + " '" + archive + "'", &out), 0) << out;
    const std::string p7 = password.empty() ? "" : " '-p" + password + "'";
    EXPECT_EQ(runCommand("7z t -bd" + p7 + " '" + archive + "'", &out), 0) << out;
    EXPECT_EQ(runCommand("bsdtar -tf '" + archive + "' >/dev/null", &out), 0) << out;
}

std::string entrySummary(const std::string& archive) {
    std::string out;
    runCommand("python3 -c 'import sys, zipfile\n"
               "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
               "    print(i.flag_bits, i.compress_type, i.filename)' '" +
                   archive + "'",
               &out);
    return out;
}

} // namespace kd::test

namespace kd::test {

namespace {

std::map<std::string, std::string> pythonLines(const std::string& archive,
                                               const std::string& script) {
    TempDir scratch;
    const std::string file = scratch.write("s.py", "import sys, zipfile\n"
                                                   "zf = zipfile.ZipFile(sys.argv[1])\n" +
                                                       script);
    std::string out;
    EXPECT_EQ(runCommand("python3 '" + file + "' '" + archive + "'", &out), 0) << out;
    std::map<std::string, std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) {
        const auto tab = line.find('\t');
        lines[line.substr(0, tab)] = tab == std::string::npos ? "" : line.substr(tab + 1);
    }
    return lines;
}

} // namespace

std::map<std::string, std::string> localRecords(const std::string& archive) {
    const auto spans =
        pythonLines(archive, R"(infos = sorted(zf.infolist(), key=lambda i: i.header_offset)
ends = [i.header_offset for i in infos[1:]] + [zf.start_dir]
for i, end in zip(infos, ends): print(i.filename, i.header_offset, end, sep="\t")
)");
    const std::string bytes = fileBytes(archive);
    std::map<std::string, std::string> records;
    for (const auto& [name, span] : spans) {
        std::istringstream in(span);
        std::size_t begin = 0, end = 0;
        in >> begin >> end;
        records[name] = bytes.substr(begin, end - begin);
    }
    return records;
}

std::map<std::string, std::string> centralFields(const std::string& archive) {
    return pythonLines(archive, R"(for i in zf.infolist():
    print(i.filename, i.flag_bits, i.extra.hex(), i.comment.hex(), i.create_system,
          i.create_version, i.external_attr, i.date_time, i.CRC, i.compress_size,
          i.file_size, i.compress_type, sep="\t")
)");
}

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (!entry.is_directory())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void touchBy(const std::string& path, int seconds) {
    const auto when = std::filesystem::file_time_type::clock::now() + std::chrono::seconds(seconds);
    std::filesystem::last_write_time(path, when);
}

} // namespace kd::test
