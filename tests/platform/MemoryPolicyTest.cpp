// Large blocks go back to the system when freed.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

#include "platform/MemoryPolicy.h"

namespace {

TEST(MemoryPolicy, AMebibyteBlockComesFromTheSystemAndGoesBack) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizer's allocator stands in for the C library's";
#endif
    kd::ReturnLargeBlocksToTheSystem();
    // Left to itself, the allocator raises its threshold to the size of a large
    // block freed, and serves the next smaller ones from its pools.
    void* const larger = std::malloc(8 << 20);
    ASSERT_NE(larger, nullptr);
    std::memset(larger, 1, 8 << 20);
    std::free(larger);
    constexpr std::size_t kSize = 2 << 20;
    const std::size_t before = mallinfo2().hblkhd;
    void* block = std::malloc(kSize);
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, kSize);
    EXPECT_GE(mallinfo2().hblkhd, before + kSize);
    std::free(block);
    EXPECT_EQ(mallinfo2().hblkhd, before);
}

} // namespace
