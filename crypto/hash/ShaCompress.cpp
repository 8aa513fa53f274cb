#include "crypto/hash/ShaCompress.h"

#include <utility>

#include "crypto/base/Bits.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define KD_SHA_X86 1
#endif

namespace kd::sha_detail {
namespace {

constexpr std::uint32_t kK[4] = {0x5A827999, 0x6ED9EBA1, 0x8F1BBCDC, 0xCA62C1D6};

// Round t: the word of the expansion (computed in a ring of 16) and the step.
template <int T>
inline void round(std::uint32_t (&v)[5], std::uint32_t (&w)[16], const std::uint8_t* block,
                  bool rotate) {
    std::uint32_t word;
    if constexpr (T < 16) {
        word = LoadBE32(block + 4 * T);
    } else {
        word = w[(T - 3) & 15] ^ w[(T - 8) & 15] ^ w[(T - 14) & 15] ^ w[T & 15];
        if (rotate)
            word = RotateLeft32(word, 1);
    }
    w[T & 15] = word;
    // The registers' roles turn by one each round: a is v[-T mod 5], b the next, ...
    const std::uint32_t a = v[(5 - T % 5) % 5];
    std::uint32_t& b = v[(6 - T % 5) % 5];
    const std::uint32_t c = v[(7 - T % 5) % 5];
    const std::uint32_t d = v[(8 - T % 5) % 5];
    std::uint32_t& e = v[(9 - T % 5) % 5];
    std::uint32_t f;
    if constexpr (T < 20)
        f = ((c ^ d) & b) ^ d;
    else if constexpr (T < 40 || T >= 60)
        f = b ^ c ^ d;
    else
        f = (b & c) | ((b | c) & d);
    e += RotateLeft32(a, 5) + f + word + kK[T / 20];
    b = RotateLeft32(b, 30);
}

template <int... T>
inline void rounds(std::uint32_t (&v)[5], std::uint32_t (&w)[16], const std::uint8_t* block,
                   bool rotate, std::integer_sequence<int, T...>) {
    (round<T>(v, w, block, rotate), ...);
}

} // namespace

void CompressPortable(std::uint32_t state[5], const std::uint8_t* block, bool rotate) {
    std::uint32_t v[5] = {state[0], state[1], state[2], state[3], state[4]};
    std::uint32_t w[16];
    rounds(v, w, block, rotate, std::make_integer_sequence<int, 80>());
    // After 80 rounds (a multiple of 5) every register is back in its place.
    for (int i = 0; i < 5; ++i)
        state[i] += v[i];
}

#ifdef KD_SHA_X86

bool ShaInstructionsAvailable() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool ssse3 = ecx & (1u << 9), sse41 = ecx & (1u << 19);
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    return ssse3 && sse41 && (ebx & (1u << 29));
}

namespace {

// Four rounds of group G (0-19). m holds the message words of the last four groups; the
// words of group G are built from those of groups G-4 to G-1.
template <int G>
__attribute__((target("sha,sse4.1,ssse3"))) inline void group(__m128i& abcd, __m128i& e,
                                                              __m128i (&m)[4]) {
    if constexpr (G >= 4) {
        __m128i x = _mm_sha1msg1_epu32(m[G % 4], m[(G + 1) % 4]);
        x = _mm_xor_si128(x, m[(G + 2) % 4]);
        m[G % 4] = _mm_sha1msg2_epu32(x, m[(G + 3) % 4]);
    }
    const __m128i previous = abcd;
    const __m128i input = G == 0 ? _mm_add_epi32(e, m[0]) : _mm_sha1nexte_epu32(e, m[G % 4]);
    abcd = _mm_sha1rnds4_epu32(abcd, input, G / 5);
    e = previous; // its A gives the next group's E
}

template <int... G>
__attribute__((target("sha,sse4.1,ssse3"))) inline void
groups(__m128i& abcd, __m128i& e, __m128i (&m)[4], std::integer_sequence<int, G...>) {
    (group<G>(abcd, e, m), ...);
}

} // namespace

__attribute__((target("sha,sse4.1,ssse3"))) void
CompressSha1Instructions(std::uint32_t state[5], const std::uint8_t* block) {
    // Words are kept with A (or the first message word) in the highest lane.
    const __m128i reverseBytes = _mm_set_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i abcdStart =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    const __m128i eStart = _mm_set_epi32(int(state[4]), 0, 0, 0);
    __m128i m[4];
    for (int i = 0; i < 4; ++i)
        m[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i)),
                                reverseBytes);
    __m128i abcd = abcdStart;
    __m128i e = eStart;
    groups(abcd, e, m, std::make_integer_sequence<int, 20>());
    e = _mm_sha1nexte_epu32(e, eStart);
    abcd = _mm_add_epi32(abcd, abcdStart);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = std::uint32_t(_mm_extract_epi32(e, 3));
}

#else

bool ShaInstructionsAvailable() {
    return false;
}
void CompressSha1Instructions(std::uint32_t state[5], const std::uint8_t* block) {
    CompressPortable(state, block, true);
}

#endif

void CompressSha1(std::uint32_t state[5], const std::uint8_t* block) {
    static const auto compress =
        ShaInstructionsAvailable()
            ? &CompressSha1Instructions
            : [](std::uint32_t s[5], const std::uint8_t* b) { CompressPortable(s, b, true); };
    compress(state, block);
}

} // namespace kd::sha_detail
