#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/FakeVolumeService.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"
#include "zip/reader/TZipReader.h"

// Helpers of the extraction tests: source trees, their listings, archives made by
// Python, and a record of the extraction events.
namespace kd::test {

// A tree under t/name: texts of several chunks, an empty file, random bytes, a
// non-ASCII name, nested and empty directories.
void makeExtractTree(const TempDir& t, const std::string& name);

// Every entry below dir, sorted: "d path", "f path size crc", "l path -> target".
std::string treeListing(const std::string& dir);

std::string readFile(const std::string& path);

// Runs a Python script (written to t) with the arguments; fails the test on error.
void runPython(const TempDir& t, const std::string& script, const std::string& args = "");

// An entry written by Python's zipfile.
struct PyEntry {
    std::string name;
    std::string data;
    bool deflate = false;
    int unixMode = 0; // stored as made on Unix when not 0 (0120777: a symbolic link)
    std::string date = "2020, 1, 1, 12, 0, 0";
    bool dosHost = false; // made on MS-DOS: no Unix mode (unixMode is then ignored)
};
void makePythonZip(const TempDir& t, const std::string& archive,
                   const std::vector<PyEntry>& entries);

// Fields of the n-th entry's local and central header.
enum class HeaderField { Method, Crc, UncompressedSize };
void patchEntry(const std::string& archive, int n, HeaderField field, std::uint32_t value);
// Flips a bit in the first place where needle occurs in the file.
void corruptAt(const std::string& archive, const std::string& needle);

// A reader for archive, extracting everything below dest with the stored directories.
void configureExtractAll(TZipReader& zip, const std::string& archive, const std::string& dest);

// Records every extraction event as one line of text.
struct ExtractEvents {
    explicit ExtractEvents(TZipReader& zip);
    // The lines without the progress events.
    std::vector<std::string> Main() const;
    std::vector<std::string> lines;
};

// A reader with scripted answers, and archives made in its temporary directory.
class ExtractTest : public ::testing::Test {
protected:
    ExtractTest() : zip_(ui_, volumes_) {}

    // Writes t/a.zip and sets the reader to extract all of it into t/dest.
    void makeZip(const std::vector<PyEntry>& entries) {
        makePythonZip(t_, t_.file("a.zip"), entries);
        configureExtractAll(zip_, t_.file("a.zip"), t_.file("dest"));
    }

    TempDir t_;
    ScriptedUiHost ui_;
    FakeVolumeService volumes_;
    TZipReader zip_;
};

} // namespace kd::test
