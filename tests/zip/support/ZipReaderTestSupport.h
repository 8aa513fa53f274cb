#pragma once
#include <string>

#include "support/TempDir.h"
#include "zip/reader/TZipReader.h"

// Helpers of the reader tests: archives made by other tools, and listings of an
// archive by Python's zipfile and by the reader in one comparable form.
namespace kd::test {

// A small tree under t/tree: text, an empty file, random bytes, a subdirectory.
void makeReaderTree(const TempDir& t);

// Runs a shell command and fails the test when it does not succeed.
void mustRun(const std::string& command);

// Python's zipfile listing: the archive comment, then per entry name, sizes, CRC,
// method, DOS date, external attributes, encryption flag and comment.
std::string zipfileListing(const std::string& archive);

// The same listing from the reader's directory in stored order (comments loaded).
std::string readerListing(TZipReader& zip);

// Random bytes, the same for the same seed.
std::string randomBytes(std::size_t n, unsigned seed = 7);

} // namespace kd::test
