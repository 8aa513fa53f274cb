#include "zip/format/Crc32.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <random>
#include <string>

#include "zip/format/Crc32Impl.h"

using namespace kd;

namespace {

// zlib's crc32(), loaded from the system library at run time: the oracle.
using ZlibCrc = unsigned long (*)(unsigned long, const unsigned char*, unsigned);

ZlibCrc zlibCrc32() {
    static void* lib = ::dlopen("libz.so.1", RTLD_NOW);
    return lib ? reinterpret_cast<ZlibCrc>(::dlsym(lib, "crc32")) : nullptr;
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

std::uint32_t reference(const std::string& s, std::size_t offset, std::size_t length) {
    return static_cast<std::uint32_t>(
        zlibCrc32()(0, reinterpret_cast<const unsigned char*>(s.data()) + offset,
                    static_cast<unsigned>(length)));
}

std::uint32_t portable(const void* data, std::size_t length) {
    return ~crc32_detail::updatePortable(~0u, static_cast<const std::uint8_t*>(data), length);
}

} // namespace

TEST(Crc32, KnownValues) {
    EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32Update(0, "abc", 3), 0x352441C2u);
    EXPECT_EQ(Crc32Update(0, "", 0), 0u);
    EXPECT_EQ(Crc32Update(0x12345678u, "", 0), 0x12345678u);
    std::uint32_t reg = 0xFFFFFFFF;
    for (char c : std::string("abc"))
        reg = Crc32Byte(reg, static_cast<std::uint8_t>(c));
    EXPECT_EQ(~reg, 0x352441C2u);
}

TEST(Crc32, EqualsZlibOnEveryShortLengthAndAlignment) {
    ASSERT_NE(zlibCrc32(), nullptr);
    const std::string data = randomBytes(400, 1);
    for (std::size_t offset = 0; offset < 16; ++offset)
        for (std::size_t length = 0; length <= 300; ++length) {
            const std::uint32_t expected = reference(data, offset, length);
            ASSERT_EQ(Crc32Update(0, data.data() + offset, length), expected)
                << offset << " " << length;
            ASSERT_EQ(portable(data.data() + offset, length), expected) << offset << " " << length;
            if (crc32_detail::clmulAvailable()) {
                const auto* p = reinterpret_cast<const std::uint8_t*>(data.data()) + offset;
                ASSERT_EQ(~crc32_detail::updateClmul(~0u, p, length), expected)
                    << offset << " " << length;
            }
        }
}

TEST(Crc32, EqualsZlibOnLargeBuffersInPieces) {
    ASSERT_NE(zlibCrc32(), nullptr);
    const std::string data = randomBytes((8 << 20) + 13, 2);
    const std::uint32_t expected = reference(data, 0, data.size());
    EXPECT_EQ(Crc32Update(0, data.data(), data.size()), expected);
    EXPECT_EQ(portable(data.data(), data.size()), expected);
    std::mt19937 rng(5);
    std::uint32_t crc = 0;
    for (std::size_t pos = 0; pos < data.size();) {
        const std::size_t n = std::min<std::size_t>(data.size() - pos, rng() % 200000);
        crc = Crc32Update(crc, data.data() + pos, n);
        pos += n;
    }
    EXPECT_EQ(crc, expected);
    const std::string zeros(1 << 20, '\0'); // all-zero data exercises no table shortcuts
    EXPECT_EQ(Crc32Update(0, zeros.data(), zeros.size()), reference(zeros, 0, zeros.size()));
}
