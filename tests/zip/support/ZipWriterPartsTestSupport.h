#pragma once
#include <map>
#include <string>
#include <vector>

#include "support/TempDir.h"

// Helpers of the tests of archives in several parts.
namespace kd::test {

// A tree under t/src that fills several parts: incompressible and compressible files,
// an empty one, and many small files with long names (a long central directory).
struct PartsSource {
    explicit PartsSource(const TempDir& t);
    std::string root;
    std::map<std::string, std::string> files; // stored name -> path
    int count() const { return static_cast<int>(files.size()); }
};

// zipName's numbered part names "backup.001" ... for n parts (only "backup.zip" for 1).
std::vector<std::string> partNames(const std::string& zipName, std::size_t n);

// Copies the parts (in order) to t/<dir>/set.z01 ... set.zip, the naming Info-ZIP and
// 7-Zip know; returns the path of set.zip.
std::string asInfoZipSet(const TempDir& t, const std::string& dir,
                         const std::vector<std::string>& parts);

// Joins the parts with "zip -s 0", expects "unzip -t" to pass on the result and
// returns its path.
std::string joinWithInfoZip(const TempDir& t, const std::vector<std::string>& parts,
                            const std::string& password = "");

// Expects "7z t" to read the parts as a split set.
void expectSevenZipReadsSplit(const TempDir& t, const std::vector<std::string>& parts,
                              const std::string& password = "");

// Extracts the archive named by its last part with the reader (other parts found by
// their numbers) into a new directory and expects the tree of source.
void expectReaderExtracts(const TempDir& t, const std::string& lastPart, const PartsSource& source,
                          const std::string& password = "");

} // namespace kd::test
