// The block cipher cores against published and independent known answers.
#include "crypto/cipher/core/Blowfish.h"
#include "crypto/cipher/core/Gost.h"
#include "crypto/cipher/core/Idea.h"
#include "crypto/cipher/core/Safer.h"
#include "crypto/cipher/core/Square.h"
#include "crypto/cipher/core/Tea.h"
#include "crypto/cipher/core/ThreeWay.h"
#include "crypto/cipher/core/Twofish.h"
#include "crypto/cipher/support/Vectors.h"

#include <gtest/gtest.h>

#include <functional>

namespace kd::test {
namespace {

using Crypt = std::function<void(const CipherVector&, std::uint8_t*, bool decrypt)>;

// Checks every case both ways; skips when the vector source is missing.
void checkAll(const std::optional<std::vector<CipherVector>>& cases, const Crypt& crypt) {
    if (!cases)
        GTEST_SKIP() << "Crypto++ test data not installed (libcrypto++-utils)";
    ASSERT_FALSE(cases->empty());
    for (const CipherVector& v : *cases) {
        Bytes block = v.plain;
        crypt(v, block.data(), false);
        EXPECT_EQ(toHex(block), toHex(v.cipher)) << "key " << toHex(v.key);
        crypt(v, block.data(), true);
        EXPECT_EQ(toHex(block), toHex(v.plain)) << "key " << toHex(v.key);
    }
}

template <typename Core> Crypt simple() {
    return [](const CipherVector& v, std::uint8_t* block, bool decrypt) {
        Core core;
        core.setKey(v.key.data(), v.key.size());
        decrypt ? core.decrypt(block) : core.encrypt(block);
    };
}

// The validation files write words big-endian; our GOST and TEA read them little-endian.
Bytes swapWords(const Bytes& in) {
    Bytes out(in.size());
    for (std::size_t i = 0; i + 3 < in.size(); i += 4)
        for (int j = 0; j < 4; ++j)
            out[i + static_cast<std::size_t>(j)] = in[i + 3 - static_cast<std::size_t>(j)];
    return out;
}

TEST(CipherCores, PublishedVectors) {
    checkAll(cryptoppValidation("ideaval.dat"), simple<cipher::IdeaCore>());
    checkAll(cryptoppValidation("twofishv.dat"), simple<cipher::TwofishCore>());
    checkAll(cryptoppValidation("3wayval.dat"), simple<cipher::ThreeWayCore>());
    checkAll(cryptoppValidation("gostval.dat"), simple<cipher::GostCore>());
    checkAll(cryptoppValidation("squareva.dat"), simple<cipher::SquareCore>());
}

TEST(CipherCores, TeaFamilyVectors) {
    auto tea = [](bool xtea) {
        return [xtea](const CipherVector& v, std::uint8_t* block, bool decrypt) {
            cipher::TeaCore core;
            const Bytes key = swapWords(v.key);
            core.setKey(key.data(), key.size(), v.rounds == 0 ? 32 : v.rounds, xtea);
            Bytes b = swapWords(Bytes(block, block + 8));
            decrypt ? core.decrypt(b.data()) : core.encrypt(b.data());
            b = swapWords(b);
            std::copy(b.begin(), b.end(), block);
        };
    };
    checkAll(cryptoppVectors("tea.txt", "TEA/ECB"), tea(false));
    auto xtea = cryptoppVectors("tea.txt", "XTEA/ECB");
    if (xtea)
        std::erase_if(*xtea, [](const CipherVector& v) {
            return v.rounds != 0 && (v.rounds < 16 || v.rounds > 32);
        });
    checkAll(xtea, tea(true));
}

TEST(CipherCores, SaferVectors) {
    auto cases = cryptoppValidation("saferval.dat");
    if (!cases)
        GTEST_SKIP() << "Crypto++ test data not installed (libcrypto++-utils)";
    ASSERT_EQ(cases->size(), 16u);
    // Four cases each of K-64, K-128 (12 rounds), SK-64 and SK-128.
    const cipher::SaferVariant variants[] = {cipher::SaferVariant::K64, cipher::SaferVariant::K128,
                                             cipher::SaferVariant::SK64,
                                             cipher::SaferVariant::SK128};
    const int rounds[] = {6, 12, 6, 10};
    for (int group = 0; group < 4; ++group) {
        std::vector<CipherVector> part(cases->begin() + 4 * group, cases->begin() + 4 * group + 4);
        checkAll(part, [&](const CipherVector& v, std::uint8_t* block, bool decrypt) {
            cipher::SaferCore core;
            core.setKey(v.key.data(), v.key.size(), variants[group], rounds[group]);
            decrypt ? core.decrypt(block) : core.encrypt(block);
        });
    }
}

} // namespace
} // namespace kd::test
