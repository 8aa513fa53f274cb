#include "zip/support/ZipExtractTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "zip/format/Crc32.h"
#include "zip/support/ZipReaderTestSupport.h"

namespace fs = std::filesystem;

namespace kd::test {

void makeExtractTree(const TempDir& t, const std::string& name) {
    std::string text;
    for (int i = 0; i < 4000; ++i)
        text += "line " + std::to_string(i * 7919 % 1000) + " of a compressible text\n";
    t.write(name + "/a.txt", text);
    t.write(name + "/empty.txt", "");
    t.write(name + "/sub/b.bin", randomBytes(70000));
    t.write(name + "/sub/deeper/c.txt", "c");
    t.write(name + "/ž luťoučký kůň.txt", "kůň");
    fs::create_directories(t.file(name + "/emptydir"));
}

std::string treeListing(const std::string& dir) {
    std::set<std::string> lines;
    for (const auto& item : fs::recursive_directory_iterator(dir)) {
        const std::string rel = fs::relative(item.path(), dir).string();
        if (item.is_symlink()) {
            lines.insert("l " + rel + " -> " + fs::read_symlink(item.path()).string());
        } else if (item.is_directory()) {
            lines.insert("d " + rel);
        } else {
            const std::string bytes = readFile(item.path().string());
            lines.insert("f " + rel + " " + std::to_string(bytes.size()) + " " +
                         std::to_string(Crc32Update(0, bytes.data(), bytes.size())));
        }
    }
    std::string listing;
    for (const auto& line : lines)
        listing += line + "\n";
    return listing;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void runPython(const TempDir& t, const std::string& script, const std::string& args) {
    const std::string file = t.write("script.py", script);
    mustRun("python3 '" + file + "' " + args);
}

namespace {

std::string pyBytes(const std::string& bytes) {
    std::string literal = "b'";
    for (unsigned char c : bytes) {
        literal += "\\x";
        literal += "0123456789abcdef"[c >> 4];
        literal += "0123456789abcdef"[c & 15];
    }
    return literal + "'";
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Offset of the n-th occurrence of signature in bytes.
std::size_t nth(const std::string& bytes, const std::string& signature, int n) {
    std::size_t at = bytes.find(signature);
    for (int i = 0; i < n && at != std::string::npos; ++i)
        at = bytes.find(signature, at + 1);
    if (at == std::string::npos)
        throw std::runtime_error("no such entry");
    return at;
}

} // namespace

void makePythonZip(const TempDir& t, const std::string& archive,
                   const std::vector<PyEntry>& entries) {
    std::string script = "import sys, zipfile\nwith zipfile.ZipFile(sys.argv[1], 'w') as z:\n";
    for (const auto& e : entries) {
        script += "    i = zipfile.ZipInfo(" + pyBytes(e.name) + ".decode(), (" + e.date + "))\n";
        script += std::string("    i.compress_type = zipfile.") +
                  (e.deflate ? "ZIP_DEFLATED" : "ZIP_STORED") + "\n";
        if (e.dosHost)
            script += "    i.create_system = 0\n";
        else if (e.unixMode != 0)
            script +=
                "    i.create_system = 3\n    i.external_attr = " + std::to_string(e.unixMode) +
                " << 16\n";
        script += "    z.writestr(i, " + pyBytes(e.data) + ")\n";
    }
    runPython(t, script, "'" + archive + "'");
}

void patchEntry(const std::string& archive, int n, HeaderField field, std::uint32_t value) {
    std::string bytes = readFile(archive);
    const int local = field == HeaderField::Method ? 8 : field == HeaderField::Crc ? 14 : 22;
    const std::size_t at[2] = {nth(bytes, "PK\3\4", n) + local,
                               nth(bytes, "PK\1\2", n) + local + 2};
    const int width = field == HeaderField::Method ? 2 : 4;
    for (const std::size_t pos : at)
        for (int i = 0; i < width; ++i)
            bytes[pos + i] = static_cast<char>(value >> (8 * i));
    writeFile(archive, bytes);
}

void corruptAt(const std::string& archive, const std::string& needle) {
    std::string bytes = readFile(archive);
    const std::size_t at = bytes.find(needle);
    if (at == std::string::npos)
        throw std::runtime_error("needle not found");
    bytes[at] = static_cast<char>(bytes[at] ^ 1);
    writeFile(archive, bytes);
}

void configureExtractAll(TZipReader& zip, const std::string& archive, const std::string& dest) {
    zip.SetZipName(archive);
    zip.SetDestDir(dest);
    zip.SetRecreateDirs(true);
    zip.SetDoAll(true);
    zip.SetOverwriteMode(TUZOverwriteMode::Always);
}

ExtractEvents::ExtractEvents(TZipReader& zip) {
    zip.OnStartUnZipInfo = [this](TZipReader&, int n, std::int64_t total, bool&) {
        lines.push_back("info " + std::to_string(n) + " " + std::to_string(total));
    };
    zip.OnStartUnZip = [this](TZipReader&, int i, std::string& name, bool&) {
        lines.push_back("start " + std::to_string(i) + " " + fs::path(name).filename().string());
    };
    zip.OnSkippingFile = [this](TZipReader&, TSkipReason reason, const std::string& name, int i,
                                bool&) {
        lines.push_back("skip " + std::to_string(static_cast<int>(reason)) + " " +
                        std::to_string(i) + " " + fs::path(name).filename().string());
    };
    zip.OnBadCRC = [this](TZipReader&, std::uint32_t, std::uint32_t, int i) {
        lines.push_back("badcrc " + std::to_string(i));
    };
    zip.OnEndUnZip = [this](TZipReader&, int i, const std::string& name) {
        lines.push_back("end " + std::to_string(i) + " " + fs::path(name).filename().string());
    };
    zip.OnFilePercentDone = [this](TZipReader&, int p) {
        lines.push_back("file% " + std::to_string(p));
    };
    zip.OnTotalPercentDone = [this](TZipReader&, int p) {
        lines.push_back("total% " + std::to_string(p));
    };
    zip.OnUnZipComplete = [this](TZipReader&, int n) {
        lines.push_back("complete " + std::to_string(n));
    };
}

std::vector<std::string> ExtractEvents::Main() const {
    std::vector<std::string> main;
    for (const auto& line : lines)
        if (line.find('%') == std::string::npos)
            main.push_back(line);
    return main;
}

} // namespace kd::test
