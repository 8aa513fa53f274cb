#include "ZipWriterTestSupport.h"

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
    if zf.getinfo(name).flag_bits & 8: print(name, "has a data descriptor")
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
               "    print(i.filename, i.compress_type, i.flag_bits)' '" +
                   archive + "'",
               &out);
    return out;
}

} // namespace kd::test
