#include "crypto/cipher/core/Shark.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Gf256.h"
#include "crypto/cipher/core/InverseSbox.h"
#include "crypto/cipher/core/Words.h"

#include <array>

namespace kd::cipher {
namespace {

constexpr int kRounds = SharkCore::kRounds;

using Word = std::uint64_t;
using Sbox = std::array<std::uint8_t, 256>;
using RoundTables = std::array<std::array<Word, 256>, 8>;

// The diffusion layer is our own choice of MDS matrix: the Cauchy matrix
// M[i][j] = 1 / (i xor (8 + j)) over SHARK's field, MDS by construction. A round's
// S-box and diffusion are one step x -> M S(x): table[j][x] holds column j of the
// matrix times the S-box value of x, and the step is the XOR over the eight bytes.
struct Tables {
    RoundTables encrypt{}, decrypt{};
    Sbox sbox{}, inverse{};

    Tables() : sbox(inverseSbox().forward), inverse(inverseSbox().backward) {
        GfMatrix<8> m{};
        for (std::size_t i = 0; i < 8; ++i)
            for (std::size_t j = 0; j < 8; ++j)
                m[i][j] = gfInverse(static_cast<std::uint8_t>(i ^ (8 + j)), kInverseSboxPoly);
        encrypt = gfColumnTables<Word>(m, sbox, kInverseSboxPoly);
        decrypt = gfColumnTables<Word>(gfInvert(m, kInverseSboxPoly), inverse, kInverseSboxPoly);
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

Word diffuse(Word a, const RoundTables& t) {
    Word out = 0;
    for (std::size_t j = 0; j < 8; ++j)
        out ^= t[j][(a >> (8 * j)) & 0xFF];
    return out;
}

Word substitute(Word a, const Sbox& s) {
    Word out = 0;
    for (int j = 0; j < 8; ++j)
        out |= Word{s[(a >> (8 * j)) & 0xFF]} << (8 * j);
    return out;
}

// Rounds 1..R-1: key, S-box, diffusion; round R: key, S-box, then the last key.
// Decryption has the same shape with the inverse tables, its inner keys carried
// through the inverse diffusion.
void crypt(std::uint8_t* block, const Word* keys, const RoundTables& t, const Sbox& s) {
    Word a = LoadLE64(block) ^ keys[0];
    for (int r = 1; r < kRounds; ++r)
        a = diffuse(a, t) ^ keys[r];
    StoreLE64(block, substitute(a, s) ^ keys[kRounds]);
}

} // namespace

void SharkCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    // The round-key material is the zero-padded 16-byte key repeated; it is encrypted in
    // 64-bit CFB mode (zero vector) by SHARK under starting keys that are our choice:
    // the first 56 bytes of the S-box.
    const Tables& t = tables();
    std::uint8_t key[16];
    const WipeOnExit wipe(key);
    padKey(key, sizeof key, bytes, length);
    Word start[kRounds + 1];
    for (int r = 0; r <= kRounds; ++r)
        start[r] = LoadLE64(t.sbox.data() + 8 * r);
    std::uint8_t feedback[8] = {};
    const WipeOnExit wipeFeedback(feedback);
    for (int r = 0; r <= kRounds; ++r) {
        crypt(feedback, start, t.encrypt, t.sbox);
        for (int i = 0; i < 8; ++i)
            feedback[i] ^= key[(8 * r + i) % 16];
        encryptKeys[r] = LoadLE64(feedback);
    }
    // The inverse diffusion alone is a decryption step after the S-box.
    for (int r = 0; r <= kRounds; ++r) {
        const Word k = encryptKeys[kRounds - r];
        decryptKeys[r] = r == 0 || r == kRounds ? k : diffuse(substitute(k, t.sbox), t.decrypt);
    }
}

void SharkCore::encrypt(std::uint8_t* block) const {
    crypt(block, encryptKeys, tables().encrypt, tables().sbox);
}

void SharkCore::decrypt(std::uint8_t* block) const {
    crypt(block, decryptKeys, tables().decrypt, tables().inverse);
}

} // namespace kd::cipher
