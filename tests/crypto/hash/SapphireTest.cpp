#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "crypto/hash/Sapphire.h"
#include "crypto/support/HashOracle.h"
#include "crypto/support/MhashOracle.h"

namespace kd {
namespace {

using test::HexDigestOf;

const HashClass* const kClasses[] = {
    &HashClassOf<THash_Sapphire128>(), &HashClassOf<THash_Sapphire160>(),
    &HashClassOf<THash_Sapphire192>(), &HashClassOf<THash_Sapphire224>(),
    &HashClassOf<THash_Sapphire256>(), &HashClassOf<THash_Sapphire288>(),
    &HashClassOf<THash_Sapphire320>(),
};

// The shuffling keeps the cards a permutation, whatever the input.
TEST(SapphireTest, CardsStayAPermutation) {
    sapphire::SapphireState state;
    state.Reset();
    for (char c : test::RandomBytes(5000, 1))
        state.Encrypt(static_cast<std::uint8_t>(c));
    std::set<int> cards(std::begin(state.cards), std::end(state.cards));
    EXPECT_EQ(cards.size(), 256u);
}

TEST(SapphireTest, EverySizeDigestsItsWholeInputWhateverTheCuts) {
    const std::string data = test::RandomBytes(700, 2);
    std::set<std::string> digests;
    for (const auto* cls : kClasses) {
        const auto hash = cls->Create();
        const std::string whole = HexDigestOf(*hash, data);
        EXPECT_EQ(whole.size(), 2 * hash->DigestSize());
        for (unsigned seed = 0; seed < 5; ++seed)
            EXPECT_EQ(HexDigestOf(*hash, data, test::RandomPieces(data.size(), 90, seed)), whole);
        // The size enters the final mixing: no digest is a prefix of a longer one.
        digests.insert(whole.substr(0, 32));
        // One changed byte changes the digest.
        std::string changed = data;
        changed[350] ^= 1;
        EXPECT_NE(HexDigestOf(*hash, changed), whole);
    }
    EXPECT_EQ(digests.size(), std::size(kClasses));
}

// No outside implementation exists: these values keep the construction from drifting.
TEST(SapphireTest, KnownAnswers) {
    THash_Sapphire128 sapphire128;
    EXPECT_EQ(HexDigestOf(sapphire128, "abc"), "95f1efe49f223b5bc9db58dbb3fbc0ce");
    THash_Sapphire320 sapphire320;
    EXPECT_EQ(HexDigestOf(sapphire320, ""),
              "49a27c70795bcab4d0c5e742e6df971dd7a58a5406ed323fcf9aa40fa229efb6c06c22959a9ebcaf");
}

} // namespace
} // namespace kd
