#include "zip/deflate/DeflateChains.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kd {

namespace {

#if defined(__SSE2__)
// Saturating subtraction of the window size from every 16-bit lane of the memory.
void slideLanes(void* memory, std::size_t bytes) {
    const __m128i window = _mm_set1_epi16(static_cast<short>(DeflateWindowSize));
    auto* p = static_cast<__m128i*>(memory);
    for (std::size_t i = 0; i < bytes / sizeof(__m128i); ++i)
        _mm_storeu_si128(p + i, _mm_subs_epu16(_mm_loadu_si128(p + i), window));
}
#else
constexpr std::uint16_t slid(unsigned position) {
    return static_cast<std::uint16_t>(position >= DeflateWindowSize ? position - DeflateWindowSize
                                                                    : 0);
}
#endif

} // namespace

DeflateChains::DeflateChains()
    : head_(std::make_unique<std::uint16_t[]>(DeflateHashSize)),
      links_(std::make_unique<std::uint64_t[]>(DeflateWindowSize)) {}

void DeflateChains::clear() {
    std::fill_n(head_.get(), DeflateHashSize, std::uint16_t{0});
}

void DeflateChains::slide() {
#if defined(__SSE2__)
    slideLanes(head_.get(), DeflateHashSize * sizeof(std::uint16_t));
    slideLanes(links_.get(), DeflateWindowSize * sizeof(std::uint64_t));
#else
    for (std::size_t i = 0; i < DeflateHashSize; ++i)
        head_[i] = slid(head_[i]);
    for (std::size_t i = 0; i < DeflateWindowSize; ++i) {
        std::uint64_t entry = 0;
        for (unsigned lane = 0; lane < 64; lane += 16)
            entry |= std::uint64_t{slid((links_[i] >> lane) & 0xFFFF)} << lane;
        links_[i] = entry;
    }
#endif
}

} // namespace kd
