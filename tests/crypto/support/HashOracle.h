#pragma once
// Digests of outside programs (Python's hashlib, rhash) as oracles for the hash classes,
// and helpers to feed our classes the same data whole or cut into pieces.
#include <cstdint>
#include <string>
#include <vector>

#include "crypto/hash/Hash.h"

namespace kd::test {

// Deterministic pseudo-random bytes.
std::string RandomBytes(std::size_t size, std::uint32_t seed);

// Hex digests of data's prefixes of the given lengths by hashlib.new(algorithm) (or
// zlib's CRC-32 as little-endian bytes for "crc32"); empty when Python or the algorithm
// is missing.
std::vector<std::string> PythonDigests(const std::string& algorithm, const std::string& data,
                                       const std::vector<std::size_t>& lengths);
// The same by rhash with the given option ("--md4", "--tiger", ...), empty when missing.
std::vector<std::string> RhashDigests(const std::string& option, const std::string& data,
                                      const std::vector<std::size_t>& lengths);

// The lengths 0 to 300 and one of 1 MB.
std::vector<std::size_t> OracleLengths();

// Lower-case hex of our digest of data in one Update.
std::string HexDigest(const HashClass& cls, const std::string& data);
// The same with data cut at random points (seeded) into many Update calls.
std::string HexDigestInPieces(const HashClass& cls, const std::string& data, std::uint32_t seed);
std::string ToHex(const std::string& bytes);

} // namespace kd::test
