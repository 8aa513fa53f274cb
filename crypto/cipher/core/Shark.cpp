#include "crypto/cipher/core/Shark.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Gf256.h"
#include "crypto/cipher/core/InverseSbox.h"
#include "crypto/cipher/core/Words.h"

namespace kd::cipher {
namespace {

constexpr int kRounds = SharkCore::kRounds;

// The diffusion layer is our own choice of MDS matrix: the Cauchy matrix
// M[i][j] = 1 / (i xor (8 + j)) over SHARK's field, MDS by construction.
struct Diffusion {
    GfMatrix<8> forward{}, backward{};
    Diffusion() {
        for (std::size_t i = 0; i < 8; ++i)
            for (std::size_t j = 0; j < 8; ++j)
                forward[i][j] = gfInverse(static_cast<std::uint8_t>(i ^ (8 + j)), kInverseSboxPoly);
        backward = gfInvert(forward, kInverseSboxPoly);
    }
};

const Diffusion& diffusion() {
    static const Diffusion d;
    return d;
}

void mix(std::uint8_t* a, const GfMatrix<8>& m) {
    std::uint8_t out[8] = {};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = 0; j < 8; ++j)
            out[i] ^= gfMul(m[i][j], a[j], kInverseSboxPoly);
    for (int i = 0; i < 8; ++i)
        a[i] = out[i];
}

void addKey(std::uint8_t* a, const std::uint8_t* k) {
    for (int i = 0; i < 8; ++i)
        a[i] ^= k[i];
}

// Rounds 1..R-1: key, S-box, diffusion; round R: key, S-box, then the last key.
void encryptWith(std::uint8_t* a, const std::uint8_t (*keys)[8]) {
    const auto& s = inverseSbox().forward;
    for (int r = 0; r < kRounds; ++r) {
        addKey(a, keys[r]);
        for (int i = 0; i < 8; ++i)
            a[i] = s[a[i]];
        if (r < kRounds - 1)
            mix(a, diffusion().forward);
    }
    addKey(a, keys[kRounds]);
}

} // namespace

void SharkCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    // The round-key material is the zero-padded 16-byte key repeated; it is encrypted in
    // 64-bit CFB mode (zero vector) by SHARK under starting keys that are our choice:
    // the first 56 bytes of the S-box.
    std::uint8_t key[16];
    const WipeOnExit wipe(key);
    padKey(key, sizeof key, bytes, length);
    std::uint8_t start[kRounds + 1][8];
    for (int i = 0; i < 8 * (kRounds + 1); ++i)
        start[i / 8][i % 8] = inverseSbox().forward[static_cast<std::size_t>(i)];
    std::uint8_t feedback[8] = {};
    const WipeOnExit wipeFeedback(feedback);
    for (int r = 0; r <= kRounds; ++r) {
        encryptWith(feedback, start);
        for (int i = 0; i < 8; ++i)
            feedback[i] ^= key[(8 * r + i) % 16];
        for (int i = 0; i < 8; ++i)
            encryptKeys[r][i] = feedback[i];
    }
    for (int r = 0; r <= kRounds; ++r)
        for (int i = 0; i < 8; ++i)
            decryptKeys[kRounds - r][i] = encryptKeys[r][i];
}

void SharkCore::encrypt(std::uint8_t* block) const {
    encryptWith(block, encryptKeys);
}

void SharkCore::decrypt(std::uint8_t* block) const {
    const auto& s = inverseSbox().backward;
    addKey(block, decryptKeys[0]);
    for (int r = 1; r <= kRounds; ++r) {
        if (r > 1)
            mix(block, diffusion().backward);
        for (int i = 0; i < 8; ++i)
            block[i] = s[block[i]];
        addKey(block, decryptKeys[r]);
    }
}

} // namespace kd::cipher
