#pragma once
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "zip/TZipReader.h"

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

// A reader for archive, extracting everything below dest with the stored directories.
void configureExtractAll(TZipReader& zip, const std::string& archive, const std::string& dest);

// Records every extraction event as one line of text.
struct ExtractEvents {
    explicit ExtractEvents(TZipReader& zip);
    // The lines without the progress events.
    std::vector<std::string> Main() const;
    std::vector<std::string> lines;
};

} // namespace kd::test
