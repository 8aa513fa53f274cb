#include <gtest/gtest.h>

#include "crypto/hash/Snefru.h"

namespace kd {
namespace {

// Without Merkle's tables Snefru refuses to hash rather than give a wrong digest.
TEST(SnefruTest, RefusesWithAClearError) {
    const auto& cls = HashClassOf<THash_Snefru>();
    EXPECT_EQ(cls.DigestSize(), 32u);
    EXPECT_THROW(cls.DigestOfText("abc"), EHashNotAvailable);
    THash_Snefru snefru;
    EXPECT_THROW(snefru.ProcessMemory(nullptr, 0, TProtectionAction::Calculate), EHashNotAvailable);
}

} // namespace
} // namespace kd
