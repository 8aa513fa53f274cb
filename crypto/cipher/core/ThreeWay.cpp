#include "crypto/cipher/core/ThreeWay.h"

#include "crypto/cipher/SecureWipe.h"
#include "crypto/cipher/core/Words.h"

namespace kd::cipher {
namespace {

constexpr int kRounds = 11;

std::uint32_t reverseBits(std::uint32_t x) {
    x = (x & 0x55555555) << 1 | (x >> 1 & 0x55555555);
    x = (x & 0x33333333) << 2 | (x >> 2 & 0x33333333);
    x = (x & 0x0F0F0F0F) << 4 | (x >> 4 & 0x0F0F0F0F);
    return __builtin_bswap32(x);
}

// mu: the 96 bits in reverse order.
void mu(std::uint32_t* a) {
    const std::uint32_t t = reverseBits(a[0]);
    a[1] = reverseBits(a[1]);
    a[0] = reverseBits(a[2]);
    a[2] = t;
}

void gamma(std::uint32_t* a) {
    const std::uint32_t b0 = a[0] ^ (a[1] | ~a[2]);
    const std::uint32_t b1 = a[1] ^ (a[2] | ~a[0]);
    const std::uint32_t b2 = a[2] ^ (a[0] | ~a[1]);
    a[0] = b0, a[1] = b1, a[2] = b2;
}

// theta: the linear mixing step, each output word from its own word and the next two.
std::uint32_t thetaWord(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    return x ^ (x >> 16) ^ (y << 16) ^ (y >> 16) ^ (z << 16) ^ (y >> 24) ^ (z << 8) ^ (z >> 8) ^
           (x << 24) ^ (z >> 16) ^ (x << 16) ^ (z >> 24) ^ (x << 8);
}

void theta(std::uint32_t* a) {
    const std::uint32_t b0 = thetaWord(a[0], a[1], a[2]);
    const std::uint32_t b1 = thetaWord(a[1], a[2], a[0]);
    const std::uint32_t b2 = thetaWord(a[2], a[0], a[1]);
    a[0] = b0, a[1] = b1, a[2] = b2;
}

void rho(std::uint32_t* a) {
    theta(a);
    a[0] = rotr32(a[0], 10); // pi 1
    a[2] = rotl32(a[2], 1);
    gamma(a);
    a[0] = rotl32(a[0], 1); // pi 2
    a[2] = rotr32(a[2], 10);
}

void constants(std::uint32_t start, std::uint32_t* out) {
    std::uint32_t c = start;
    for (int i = 0; i <= kRounds; ++i) {
        out[i] = c;
        c <<= 1;
        if (c & 0x10000)
            c ^= 0x11011;
    }
}

void run(std::uint32_t* a, const std::uint32_t* key, const std::uint32_t* rc) {
    for (int i = 0; i < kRounds; ++i) {
        a[0] ^= key[0] ^ rc[i] << 16;
        a[1] ^= key[1];
        a[2] ^= key[2] ^ rc[i];
        rho(a);
    }
    a[0] ^= key[0] ^ rc[kRounds] << 16;
    a[1] ^= key[1];
    a[2] ^= key[2] ^ rc[kRounds];
    theta(a);
}

} // namespace

void ThreeWayCore::setKey(const std::uint8_t* bytes, std::size_t length) {
    std::uint8_t padded[12];
    const WipeOnExit wipe(padded);
    padKey(padded, sizeof padded, bytes, length);
    for (int i = 0; i < 3; ++i)
        decryptKey[i] = encryptKey[i] = loadBE32(padded + 4 * i);
    theta(decryptKey);
    mu(decryptKey);
    constants(0x0B0B, encryptConst);
    constants(0xB1B1, decryptConst);
}

void ThreeWayCore::encrypt(std::uint8_t* block) const {
    std::uint32_t a[3] = {loadBE32(block), loadBE32(block + 4), loadBE32(block + 8)};
    run(a, encryptKey, encryptConst);
    for (int i = 0; i < 3; ++i)
        storeBE32(block + 4 * i, a[i]);
}

void ThreeWayCore::decrypt(std::uint8_t* block) const {
    std::uint32_t a[3] = {loadBE32(block), loadBE32(block + 4), loadBE32(block + 8)};
    mu(a);
    run(a, decryptKey, decryptConst);
    mu(a);
    for (int i = 0; i < 3; ++i)
        storeBE32(block + 4 * i, a[i]);
}

} // namespace kd::cipher
