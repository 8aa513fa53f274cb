#include "zip/support/ZipWriterPartsTestSupport.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

#include "zip/format/ZfcFile.h"
#include "zip/support/ZipExtractTestSupport.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd::test {

PartsSource::PartsSource(const TempDir& t) : root(t.file("src")) {
    const auto add = [&](const std::string& name, const std::string& bytes) {
        files[name] = t.write("src/" + name, bytes);
    };
    add("random/a.bin", randomBytes(120000, 1));
    add("random/b.bin", randomBytes(160000, 2));
    add("empty.txt", "");
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "line " + std::to_string(i) + " of a text that compresses well\n";
    add("text/long.txt", text);
    for (int i = 0; i < 300; ++i)
        add("many/a_small_file_with_a_rather_long_name_number_" + std::to_string(i) + ".txt",
            std::to_string(i * i));
}

std::vector<std::string> partNames(const std::string& zipName, std::size_t n) {
    if (n == 1)
        return {zipName};
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= n; ++i)
        names.push_back(PartFileName(zipName, static_cast<int>(i)));
    return names;
}

std::string asInfoZipSet(const TempDir& t, const std::string& dir,
                         const std::vector<std::string>& parts) {
    fs::create_directories(t.file(dir));
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        char number[24];
        std::snprintf(number, sizeof number, "%02zu", i + 1);
        fs::copy_file(parts[i], t.file(dir + "/set.z" + number));
    }
    fs::copy_file(parts.back(), t.file(dir + "/set.zip"));
    return t.file(dir + "/set.zip");
}

std::string joinWithInfoZip(const TempDir& t, const std::vector<std::string>& parts,
                            const std::string& password) {
    const std::string set = asInfoZipSet(t, "infozip", parts);
    const std::string joined = t.file("infozip/joined.zip");
    std::string out;
    EXPECT_EQ(runCommand("zip -q -s 0 '" + set + "' --out '" + joined + "' 2>&1", &out), 0) << out;
    const std::string p = password.empty() ? "" : " -P '" + password + "'";
    EXPECT_EQ(runCommand("unzip -t" + p + " '" + joined + "'", &out), 0) << out;
    return joined;
}

void expectSevenZipReadsSplit(const TempDir& t, const std::vector<std::string>& parts,
                              const std::string& password) {
    const std::string set = asInfoZipSet(t, "7z", parts);
    const std::string p = password.empty() ? "" : " '-p" + password + "'";
    std::string out;
    EXPECT_EQ(runCommand("7z t -bd" + p + " '" + set + "'", &out), 0) << out;
}

void expectReaderExtracts(const TempDir& t, const std::string& lastPart, const PartsSource& source,
                          const std::string& password) {
    static int round = 0;
    const std::string dest = t.file("extracted" + std::to_string(++round));
    TZipReader zip;
    configureExtractAll(zip, lastPart, dest);
    zip.SetPassword(password);
    EXPECT_EQ(zip.ExtractArchive(), source.count());
    for (const auto& failure : zip.ExtractFailures())
        ADD_FAILURE() << failure.Name << ": " << failure.Message;
    EXPECT_EQ(treeListing(dest), treeListing(source.root));
}

} // namespace kd::test
