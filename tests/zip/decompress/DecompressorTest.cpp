#include "zip/support/DecompressTestSupport.h"

#include "TestPaths.h"
#include "zip/decompress/DecompressError.h"
#include "zip/decompress/Decompressor.h"

#include <gtest/gtest.h>

using namespace kd;
using namespace kd::test;

namespace {

class FailingOutput : public DecompressOutput {
public:
    void Write(const std::uint8_t*, std::size_t) override { throw Exception("disk full"); }
};

} // namespace

TEST(Decompressor, KnowsItsMethods) {
    for (unsigned method : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 8u})
        EXPECT_TRUE(Decompressor::IsSupported(method)) << method;
    for (unsigned method : {7u, 9u, 12u, 14u, 93u, 99u})
        EXPECT_FALSE(Decompressor::IsSupported(method)) << method;
    try {
        Decode(9, {1, 2, 3});
        FAIL() << "method 9 decoded";
    } catch (const EBadCompressedData&) {
        FAIL() << "unknown method reported as bad data";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("9"), std::string::npos);
    }
}

TEST(Decompressor, CopiesStoredData) {
    const Bytes data = RandomData(100000);
    EXPECT_EQ(Decode(0, data, data.size(), 0, 777), data);
    EXPECT_EQ(Decode(0, {}), Bytes{});
}

TEST(Decompressor, OutputErrorsPassThrough) {
    Decompressor decompressor;
    for (unsigned method : {0u, 8u}) {
        MemoryInput input(method ? ZlibDeflate(TextLikeData(1000), 6) : TextLikeData(1000));
        FailingOutput output;
        EXPECT_THROW(decompressor.Run(method, input, output, 1000, 0), Exception);
    }
}

// A size in the header larger than the data holds is an error, not zero padding.
TEST(Decompressor, ForgedSizeIsNotPaddedWithZeros) {
    for (const char* archive : {"implode.zip", "reduce.zip"}) {
        for (const auto& e :
             ReadZipEntries(std::string(KORDYNE_TEST_DATA_DIR "/zip/methods/") + archive)) {
            if (e.method == 0 || e.uncompressedSize == 0)
                continue;
            Decompressor decompressor;
            MemoryInput input(e.data);
            VectorOutput output;
            EXPECT_THROW(
                decompressor.Run(e.method, input, output, e.uncompressedSize + 100000, e.flags),
                EBadCompressedData)
                << e.name;
            EXPECT_LE(output.bytes.size(), e.uncompressedSize + 400u) << e.name;
        }
    }
}
