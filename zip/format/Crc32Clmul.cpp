// CRC-32 by folding with carry-less multiplication (PCLMULQDQ).
//
// The data is a polynomial over GF(2); the reflected CRC keeps the first bit of the
// stream as the highest power. A 16-byte block loaded little-endian holds, in its low
// 64 bits, the 64 highest powers (H) and in its high 64 bits the 64 lowest (L). Moving
// the block D bits further along the stream multiplies it by x^D; modulo the
// polynomial P this is H * (x^(64+D) mod P) + L * (x^D mod P), each product at most
// 96 bits wide, so it can be added (xor) to the block D bits later. The carry-less
// product of two bit-reflected 64-bit values comes out one power too high, so the
// constants hold x^(64+D-1) and x^(D-1) instead. Four blocks are folded side by side
// over 64-byte steps, merged into one, and the remaining 128 bits are reduced by the
// table CRC, which computes exactly (block * x^32) mod P from a zero register.
#include "zip/format/Crc32Impl.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace kd::crc32_detail {

namespace {

// x^n mod P with P = x^32 + 0x04C11DB7, bit d holding the power d.
constexpr std::uint32_t xPowerModP(unsigned n) {
    std::uint32_t r = 1;
    for (unsigned i = 0; i < n; ++i)
        r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
    return r;
}

// The same polynomial as a bit-reflected 64-bit operand: power d at bit 63 - d.
constexpr std::uint64_t reflected64(std::uint32_t poly) {
    std::uint64_t out = 0;
    for (int d = 0; d < 32; ++d)
        if ((poly >> d) & 1)
            out |= std::uint64_t{1} << (63 - d);
    return out;
}

// Multipliers that move a block D bits further: low lane for H, high lane for L.
struct FoldConstants {
    std::uint64_t forHigh, forLow; // multipliers of H and of L
};
constexpr FoldConstants foldBy(unsigned bits) {
    return {reflected64(xPowerModP(64 + bits - 1)), reflected64(xPowerModP(bits - 1))};
}
constexpr FoldConstants kFold512 = foldBy(512);
constexpr FoldConstants kFold128 = foldBy(128);

__attribute__((target("pclmul"))) inline __m128i fold(__m128i block, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(block, k, 0x00),
                         _mm_clmulepi64_si128(block, k, 0x11));
}

inline __m128i load(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline __m128i constants(FoldConstants k) {
    return _mm_set_epi64x(static_cast<long long>(k.forLow), static_cast<long long>(k.forHigh));
}

} // namespace

bool clmulAvailable() {
    return __builtin_cpu_supports("pclmul");
}

__attribute__((target("pclmul"))) std::uint32_t updateClmul(std::uint32_t reg,
                                                            const std::uint8_t* p, std::size_t n) {
    if (n < 64)
        return updatePortable(reg, p, n);
    const __m128i k512 = constants(kFold512);
    const __m128i k128 = constants(kFold128);

    __m128i x0 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = load(p + 16);
    __m128i x2 = load(p + 32);
    __m128i x3 = load(p + 48);
    p += 64;
    n -= 64;
    while (n >= 64) {
        x0 = _mm_xor_si128(fold(x0, k512), load(p));
        x1 = _mm_xor_si128(fold(x1, k512), load(p + 16));
        x2 = _mm_xor_si128(fold(x2, k512), load(p + 32));
        x3 = _mm_xor_si128(fold(x3, k512), load(p + 48));
        p += 64;
        n -= 64;
    }
    x1 = _mm_xor_si128(fold(x0, k128), x1);
    x2 = _mm_xor_si128(fold(x1, k128), x2);
    x3 = _mm_xor_si128(fold(x2, k128), x3);
    while (n >= 16) {
        x3 = _mm_xor_si128(fold(x3, k128), load(p));
        p += 16;
        n -= 16;
    }
    alignas(16) std::uint8_t rest[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(rest), x3);
    return updatePortable(updatePortable(0, rest, sizeof rest), p, n);
}

} // namespace kd::crc32_detail

#else

namespace kd::crc32_detail {

bool clmulAvailable() {
    return false;
}

std::uint32_t updateClmul(std::uint32_t reg, const std::uint8_t* p, std::size_t n) {
    return updatePortable(reg, p, n);
}

} // namespace kd::crc32_detail

#endif
