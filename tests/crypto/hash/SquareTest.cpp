#include <gtest/gtest.h>

#include <string>

#include "crypto/hash/Square.h"
#include "crypto/cipher/core/Square.h"
#include "crypto/support/HashOracle.h"
#include "crypto/support/MhashOracle.h"

namespace kd {
namespace {

using test::HexDigestOf;
using test::ToHex;

std::string Unhex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// The designers' validation data (key, plaintext, ciphertext): they cover the S-box,
// the row mixing, the transposition and the key schedule.
TEST(SquareTest, CipherMatchesPublishedVectors) {
    const char* cases[][3] = {
        {"00000000000000000000000000000000", "00000000000000000000000000000000",
         "3c00428f8abbc0b84f057cc19c26f8cf"},
        {"000102030405060708090a0b0c0d0e0f", "00000000000000000000000000000000",
         "ff596fa668bfc3014200ae01e2bba0a0"},
        {"000102030405060708090a0b0c0d0e0f", "000102030405060708090a0b0c0d0e0f",
         "7c3491d94994e70f0ec2e7a5ccb5a14f"},
        {"915f4619be41b2516355a50110a9ce91", "21a5dbee154b8f6d6ff33b98f448e95a",
         "3388801f66e7fcc0bce522a23a4f0c7f"},
        {"5269f149d41ba0152497574d7f153125", "65c178b284d197ccd3f111a282f17f29",
         "d7b7209e0879744c782809b6d2e0b1b0"},
    };
    for (const auto& c : cases) {
        const std::string key = Unhex(c[0]), plain = Unhex(c[1]);
        cipher::SquareCore core;
        core.setKey(reinterpret_cast<const std::uint8_t*>(key.data()), key.size());
        std::string block = plain;
        core.encrypt(reinterpret_cast<std::uint8_t*>(block.data()));
        EXPECT_EQ(ToHex(block), c[2]) << c[0];
        core.decrypt(reinterpret_cast<std::uint8_t*>(block.data()));
        EXPECT_EQ(block, plain) << c[0];
    }
}

// The digest depends on the message alone, not on how it is cut into Update calls
// (also when whole blocks come straight from the caller after a partial one).
TEST(SquareTest, DigestDoesNotDependOnTheCuts) {
    THash_Square square;
    test::ExpectDigestIgnoresCuts(square, {0, 7, 8, 15, 16, 17, 100, 1000}, 40);
}

// No outside implementation exists: these values keep the construction from drifting.
TEST(SquareTest, KnownAnswers) {
    THash_Square square;
    EXPECT_EQ(HexDigestOf(square, ""), "4322dbc535c7ccec45bec9480f4b32fc");
    EXPECT_EQ(HexDigestOf(square, "abc"), "069b63aa6787311b7fcd5983be9cc9df");
    EXPECT_EQ(HexDigestOf(square, std::string(1000, 'a')), "57cd57c7dcbcacbf37db9c7a9ffb8e46");
}

} // namespace
} // namespace kd
