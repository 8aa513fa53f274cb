#pragma once
// libmhash (through Python's ctypes) as the oracle of RIPEMD-128/160/256/320 and 3-pass
// HAVAL, and helpers that feed one instance (with its own pass count) whole or in pieces.
#include <cstddef>
#include <string>
#include <vector>

#include "crypto/hash/Hash.h"

namespace kd::test {

// Lower-case hex digests by libmhash's `algorithm` ("ripemd128", "haval256", ...) of
// data's prefixes of the given lengths; without data, of that many zero bytes. Fails
// the test (and returns empty) when the oracle cannot run.
std::vector<std::string> MhashDigests(const std::string& algorithm, const std::string* data,
                                      const std::vector<std::size_t>& lengths);

// Our digest (lower-case hex) of data fed to hash after Init in pieces of the given
// sizes, the rest in one piece.
std::string HexDigestOf(THash& hash, const std::string& data,
                        const std::vector<std::size_t>& pieces = {});

// Random piece sizes from 0 to `largest` adding up to at most `total`.
std::vector<std::size_t> RandomPieces(std::size_t total, std::size_t largest, unsigned seed);

// Checks that hash gives random messages of each size the same digest whole and cut
// into random pieces of up to `largest` bytes (also whole blocks after a partial one).
void ExpectDigestIgnoresCuts(THash& hash, const std::vector<std::size_t>& sizes,
                             std::size_t largest);

// Checks hash against `expected`, the oracle's digests of data's OracleLengths()
// prefixes: each prefix whole, and all of data in random pieces.
void ExpectOracleDigests(THash& hash, const std::string& data,
                         const std::vector<std::string>& expected);

} // namespace kd::test
