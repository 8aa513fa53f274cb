// Archives the writer makes pass every independent tool, byte for byte.
#include <gtest/gtest.h>

#include <sstream>

#include "zip/support/ZipReaderTestSupport.h"
#include "zip/support/ZipWriterTestSupport.h"

using namespace kd;

namespace {

struct Layout {
    std::string name;
    int packLevel = 6;
    std::string password;
    enum Paths { None, Relative, Full } paths = Relative;
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.name;
}

// Files named uniquely, so that an archive without paths holds them all: text,
// random bytes over more than one buffer, an empty file, Czech names (CP852) and
// names outside CP852 (stored as UTF-8).
const std::vector<std::pair<std::string, std::string>>& treeFiles() {
    static const std::vector<std::pair<std::string, std::string>> files = [] {
        std::string text;
        for (int i = 0; i < 2000; ++i)
            text += "řádek " + std::to_string(i) + " textu, který se dobře komprimuje\n";
        return std::vector<std::pair<std::string, std::string>>{
            {"text.txt", text},
            {"empty.txt", ""},
            {"random.bin", test::randomBytes(150000, 3)},
            {"sub/b.txt", "bbb"},
            {"sub/deeper/c.txt", std::string(70000, 'c')},
            {"čeština/žluťoučký kůň.txt", "úpěl ďábelské ódy"},
            {"sub/€uro 日本.txt", "outside CP852"},
        };
    }();
    return files;
}

class ZipWriterOracle : public ::testing::TestWithParam<Layout> {};

TEST_P(ZipWriterOracle, ToolsAcceptAndReadEveryByte) {
    const Layout& layout = GetParam();
    test::TempDir t;
    std::map<std::string, std::string> expected;
    const std::string root = t.file("tree") + "/";
    for (const auto& [name, bytes] : treeFiles()) {
        const std::string path = t.write("tree/" + name, bytes);
        const std::string entry = layout.paths == Layout::Relative ? name
                                  : layout.paths == Layout::Full   ? path.substr(1)
                                                                 : name.substr(name.rfind('/') + 1);
        expected[entry] = path;
    }
    if (layout.paths == Layout::Relative)
        for (const char* dir : {"sub/", "sub/deeper/", "čeština/"})
            expected[dir] = "";

    test::WriterBench bench(t);
    bench.zip.SetRootDir(root);
    bench.zip.SetPackLevel(layout.packLevel);
    bench.zip.SetPassword(layout.password);
    bench.zip.SetRecurse(true);
    if (layout.paths == Layout::Relative) {
        bench.zip.SetRelativePaths(true);
        bench.zip.SetAddDirEntriesOnRecurse(true);
    } else if (layout.paths == Layout::Full) {
        bench.zip.SetStoreVolumes(true);
    }
    EXPECT_EQ(bench.add({"*.*"}), static_cast<int>(expected.size()));

    EXPECT_EQ(test::zipfileMismatches(bench.archive, expected, layout.password), "");
    test::expectToolsAccept(bench.archive, layout.password);
    std::istringstream summary(test::entrySummary(bench.archive));
    for (unsigned flags = 0; summary >> flags && summary.ignore(1 << 20, '\n');)
        EXPECT_EQ(flags & 8, 0u) << "no entry has a data descriptor";
    if (!layout.password.empty()) {
        test::mustRun("cd " + t.path() + " && mkdir x7 && cd x7 && 7z x -bd '-p" + layout.password +
                      "' ../out.zip >/dev/null && cmp sub/deeper/c.txt " +
                      t.file("tree/sub/deeper/c.txt"));
        test::mustRun("cd " + t.path() + " && mkdir xu && cd xu && unzip -q -P '" +
                      layout.password + "' ../out.zip && cmp text.txt " + t.file("tree/text.txt"));
    }
}

std::vector<Layout> layouts() {
    std::vector<Layout> all;
    for (int level = 0; level <= 9; ++level)
        all.push_back({"Level" + std::to_string(level), level, ""});
    all.push_back({"EncryptedDeflated", 6, "tajné heslo"});
    all.push_back({"EncryptedStored", 0, "secret"});
    all.push_back({"FullPaths", 6, "", Layout::Full});
    all.push_back({"NoPaths", 9, "", Layout::None});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Layouts, ZipWriterOracle, ::testing::ValuesIn(layouts()),
                         [](const auto& param) { return param.param.name; });

} // namespace
