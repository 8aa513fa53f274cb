#include <gtest/gtest.h>

#include "crypto/hash/MD4Family.h"

namespace kd {
namespace {

TEST(MD4Test, KnownAnswer) {
    THash_MD4 h;
    h.Init();
    h.Update("abc", 3);
    h.Final();
    EXPECT_EQ(h.DigestBytes(), h.KnownAnswer());
}

} // namespace
} // namespace kd
