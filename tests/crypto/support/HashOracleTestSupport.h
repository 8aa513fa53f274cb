#pragma once
// Outside implementations as black-box oracles for the hash tests: libmhash (through
// Python's ctypes) for RIPEMD and 3-pass HAVAL, rhash for Tiger.
#include <cstddef>
#include <string>
#include <vector>

#include "crypto/hash/Hash.h"

namespace kd::test {

// Lower-case hex digests, by `algorithm` ("ripemd128" ... "ripemd320", "haval128" ...
// "haval256", "tiger"), of data's prefixes of the given lengths; without data, of that
// many zero bytes (libmhash's algorithms only). Fails the test (and returns empty) when
// the oracle cannot run.
std::vector<std::string> OracleDigests(const std::string& algorithm, const std::string* data,
                                       const std::vector<std::size_t>& lengths);

// Our digest (lower-case hex) of data fed to a fresh Init in pieces of the given sizes,
// the rest in one piece.
std::string DigestInPieces(THash& hash, const std::string& data,
                           const std::vector<std::size_t>& pieces = {});

// Random piece sizes from 0 to `largest` adding up to at most `total`.
std::vector<std::size_t> RandomPieces(std::size_t total, std::size_t largest, unsigned seed);

// `size` pseudo-random bytes.
std::string RandomBytes(std::size_t size, unsigned seed);

// Runs the oracle over prefixes 0-300 and over 1 MB fed in random pieces, and
// compares each with `hash`.
void CheckAgainstOracle(THash& hash, const std::string& algorithm);

std::string Hex(const std::string& bytes);

} // namespace kd::test
