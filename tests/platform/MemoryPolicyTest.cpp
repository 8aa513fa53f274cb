// Large blocks go back to the system when freed.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/MemoryPolicy.h"

namespace {

// The check wants a heap of its own: in a process where earlier tests freed large
// chunks, the allocator rightly serves the block from them. The "threadsafe" death
// test style runs it in a fresh copy of the test program.
bool largeBlockComesFromTheSystemAndGoesBack() {
    kd::ReturnLargeBlocksToTheSystem();
    // Left to itself, the allocator raises its threshold to the size of a large
    // block freed, and serves the next smaller ones from its pools.
    void* const larger = std::malloc(8 << 20);
    if (!larger)
        return false;
    std::memset(larger, 1, 8 << 20);
    std::free(larger);
    constexpr std::size_t kSize = 2 << 20;
    const std::size_t before = mallinfo2().hblkhd;
    void* block = std::malloc(kSize);
    if (!block)
        return false;
    std::memset(block, 1, kSize);
    const bool fromTheSystem = mallinfo2().hblkhd >= before + kSize;
    std::free(block);
    return fromTheSystem && mallinfo2().hblkhd == before;
}

TEST(MemoryPolicy, AMebibyteBlockComesFromTheSystemAndGoesBack) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(largeBlockComesFromTheSystemAndGoesBack() ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

} // namespace
