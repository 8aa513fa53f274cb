#include "crypto/cipher/core/Scop.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

#include <algorithm>
#include <iterator>

namespace kd::cipher {
namespace {

// The key-setup generator (our own arithmetic): eight 16-bit cells x[0..7], each stepped
// through a polynomial modulo 2^16 whose coefficients come from the extended key; even
// cells use a cubic, odd cells a quartic polynomial, and each cell also takes in its
// neighbour so the cells do not run apart. A step yields four words, cells 2i and 2i+1
// being the high and low halves of word i.
class Generator {
public:
    explicit Generator(const std::uint8_t* ext) {
        for (int j = 0; j < 8; ++j) {
            for (int c = 0; c < 4; ++c)
                coef_[j][c] = ext[4 * j + c];
            x_[j] = static_cast<std::uint16_t>(ext[32 + 2 * j] << 8 | ext[33 + 2 * j]);
        }
    }

    ~Generator() {
        SecureFill(coef_, sizeof coef_, 0);
        SecureFill(x_, sizeof x_, 0);
    }
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;

    void step(std::uint32_t* out) {
        std::uint16_t next[8];
        for (int j = 0; j < 8; ++j) {
            const std::uint32_t x = x_[j];
            const std::uint32_t* c = coef_[j];
            std::uint32_t v = c[0] + x * (c[1] + x * (c[2] + x * c[3])); // cubic
            if (j % 2 == 1)
                v += x * x * x * x; // quartic
            next[j] = static_cast<std::uint16_t>(v + x_[(j + 1) % 8] + 2 * j + 1);
        }
        std::copy_n(next, 8, x_);
        for (int i = 0; i < 4; ++i)
            out[i] = std::uint32_t{x_[2 * i]} << 16 | x_[2 * i + 1];
    }

private:
    std::uint32_t coef_[8][4]{};
    std::uint16_t x_[8]{};
};

} // namespace

void ScopCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    // Extend the key to 48 bytes (our rule): each missing byte is the byte `length`
    // places back plus the one before it plus its position.
    std::uint8_t ext[48] = {};
    const WipeOnExit wipe(ext);
    const std::size_t n = std::min<std::size_t>(length, 48);
    std::copy_n(bytes, n, ext);
    for (std::size_t i = n; i < 48; ++i)
        ext[i] = static_cast<std::uint8_t>((n > 0 ? ext[i - n] : 0) + (i > 0 ? ext[i - 1] : 0) + i);
    std::uint8_t filler = 1;
    for (int i = 0; i < 32; ++i)
        if (ext[i] == 0)
            ext[i] = filler++;

    std::fill(std::begin(state), std::end(state), 0u);
    Generator gen(ext);
    std::uint32_t out[4];
    const WipeOnExit wipeOut(out);
    for (int i = 0; i < 8; ++i)
        gen.step(out);
    for (int i = 0; i < 12 * 8; ++i) {
        gen.step(out);
        std::copy_n(out, 4, state + 3 + 4 * i);
    }
    gen.step(out);
    state[4 + (out[0] & 0x7F)] |= 1; // one odd word in G
    state[0] = out[1] >> 24;
    state[1] = (out[1] >> 16) & 0xFF;
    state[2] = (out[1] >> 8) & 0xFF;
}

void ScopCore::save() {
    std::copy_n(state, kWords, saved);
}

void ScopCore::restore() {
    std::copy_n(saved, kWords, state);
}

template <bool Encrypt> void ScopCore::crypt(std::uint8_t* block) {
    std::uint32_t i = state[0] & 0xFF, j = state[1] & 0xFF, t = state[3];
    const std::uint32_t* g = state + 4;
    std::uint32_t* v = state + 132;
    for (int w = 0; w < 32; ++w) {
        const std::uint32_t c = v[j];
        j = (j + t) & 0xFF;
        const std::uint32_t d = v[j];
        t = g[i] + d;
        v[j] = t;
        i = (i + 1) & 0xFF;
        j = (j + d) & 0xFF;
        std::uint8_t* p = block + 4 * w;
        storeLE32(p, Encrypt ? loadLE32(p) + (d + c) : loadLE32(p) - (d + c));
    }
}

void ScopCore::encrypt(std::uint8_t* block) {
    crypt<true>(block);
}
void ScopCore::decrypt(std::uint8_t* block) {
    crypt<false>(block);
}

} // namespace kd::cipher
