#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kd::test {

using Bytes = std::vector<std::uint8_t>;

Bytes fromHex(const std::string& hex);
std::string toHex(const Bytes& data);

// One known-answer case: key, plaintext, ciphertext, and an optional round count.
struct CipherVector {
    Bytes key, plain, cipher;
    int rounds = 0;
};

// The Crypto++ validation file `name` (lines of hex key, plaintext and ciphertext, in
// that order), or nothing when the package is not installed.
std::optional<std::vector<CipherVector>> cryptoppValidation(const std::string& name);

// The "Name:" section `name` of a Crypto++ test-vector file (Key, Plaintext,
// Ciphertext, Rounds), or nothing when the file is missing.
std::optional<std::vector<CipherVector>> cryptoppVectors(const std::string& file,
                                                         const std::string& name);

} // namespace kd::test
