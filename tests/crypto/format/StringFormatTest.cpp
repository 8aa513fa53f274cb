#include <gtest/gtest.h>

#include "crypto/format/HexFormat.h"
#include "crypto/format/Mime64Format.h"
#include "crypto/format/UUFormat.h"
#include "crypto/support/HashOracle.h"
#include "support/TempDir.h"

namespace kd::test {
namespace {

TEST(StringFormatTest, Base64MatchesTheRfcExamplesBothWays) {
    const std::pair<const char*, const char*> examples[] = {
        {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"abc", "YWJj"}, {"ab", "YWI="}};
    for (const auto& [plain, coded] : examples) {
        EXPECT_EQ(BinaryToFormat(plain, kFormatMIME64), coded);
        EXPECT_EQ(FormatToBinary(coded, kFormatMIME64), plain);
    }
}

TEST(StringFormatTest, Base64ReadsAcrossLineBreaksAndNeverOverruns) {
    EXPECT_EQ(FormatToBinary("Zm9v\r\nYmFy\r\n", kFormatMIME64), "foobar");
    EXPECT_EQ(FormatToBinary("Zm9vYg\r\n", kFormatMIME64), "foob"); // padding left out
    // Padding in the middle of a text (two encodings joined) ends only its own group.
    EXPECT_EQ(FormatToBinary("Zg==Zm8=", kFormatMIME64), "ffo");
    EXPECT_EQ(FormatToBinary("====", kFormatMIME64), "");
    EXPECT_EQ(FormatToBinary("Z", kFormatMIME64), "");
    EXPECT_THROW(FormatToBinary("Zm9v!", kFormatMIME64), EStringFormat);
}

TEST(StringFormatTest, HexReadsPrefixesSeparatorsAndEitherCase) {
    for (const int id : {kFormatHEX, kFormatHEXL}) {
        EXPECT_EQ(FormatToBinary("$0A ff", id), "\x0A\xFF");
        EXPECT_EQ(FormatToBinary("0x1F", id), "\x1F");
        EXPECT_EQ(FormatToBinary("ab $1F", id), "\x1F"); // the prefix restarts the output
        EXPECT_EQ(FormatToBinary("7", id), "");
    }
    EXPECT_EQ(BinaryToFormat("\x0A\xFF", kFormatHEX), "0AFF");
    EXPECT_EQ(BinaryToFormat("\x0A\xFF", kFormatHEXL), "0aff");
    EXPECT_THROW(FormatToBinary("0G", kFormatHEX), EStringFormat);
}

// Python's binascii (with the grave accent for zero) as the oracle for UU lines.
TEST(StringFormatTest, UUMatchesBinasciiLinesJoined) {
    const std::string data = RandomBytes(200, 3);
    TempDir dir;
    const std::string file = dir.write("data", data);
    for (const std::size_t n : {1, 2, 3, 44, 45, 46, 90, 200}) {
        std::string expected;
        ASSERT_EQ(runCommand("python3 -c \"import binascii,sys; d = open('" + file +
                                 "', 'rb').read()[:" + std::to_string(n) +
                                 "]; sys.stdout.write(''.join(binascii.b2a_uu(d[i:i + 45], "
                                 "backtick=True).decode()[:-1] for i in range(0, len(d), 45)))\"",
                             &expected),
                  0);
        const std::string coded = BinaryToFormat(data.substr(0, n), kFormatUU);
        EXPECT_EQ(coded, expected) << n;
        EXPECT_EQ(FormatToBinary(coded, kFormatUU), data.substr(0, n)) << n;
        EXPECT_EQ(FormatToBinary(BinaryToFormat(data.substr(0, n), kFormatXX), kFormatXX),
                  data.substr(0, n));
    }
}

TEST(StringFormatTest, XXUsesItsOwnAlphabet) {
    // "abc" is 0x616263: the values 24, 22, 9, 35 after the length 3.
    EXPECT_EQ(BinaryToFormat("abc", kFormatXX), "1MK7X");
    EXPECT_EQ(BinaryToFormat("abc", kFormatUU), "#86)C");
}

TEST(StringFormatTest, UURefusesBrokenLinesWithItsName) {
    const std::string twoLines = BinaryToFormat(std::string(46, 'x'), kFormatUU);
    ASSERT_EQ(twoLines.size(), 1 + 60 + 1 + 4u);
    const std::string broken = twoLines.substr(0, 61) + "\n" + twoLines.substr(61);
    try {
        FormatToBinary(broken, kFormatUU);
        FAIL() << "accepted a line break between lines";
    } catch (const EStringFormat& e) {
        EXPECT_STREQ(e.what(), "Input is not an valid UU Coding Format.");
    }
    // Cut short, or a length above 45: refused by the decoder itself, too.
    EXPECT_THROW(FormatToBinary(twoLines.substr(0, 30), kFormatUU), EStringFormat);
    EXPECT_THROW(TStringFormat_UU::Instance().TextToBinary(twoLines.substr(0, 30)), EStringFormat);
    EXPECT_THROW(TStringFormat_UU::Instance().TextToBinary("N"), EStringFormat);
}

TEST(StringFormatTest, RegistryLooksUpReplacesAndReportsUnknownIds) {
    ASSERT_EQ(StringFormats().size(), 6u);
    EXPECT_EQ(FindStringFormat(kFormatDefault), &TStringFormat_MIME64::Instance());
    EXPECT_EQ(FindStringFormat(kFormatXX)->Name(), "XX Coding");
    EXPECT_EQ(BinaryToFormat("abc", 0), "");
    EXPECT_EQ(BinaryToFormat("ab\0cd", -1, kFormatHEX), "6162"); // up to the zero byte
    try {
        BinaryToFormat("abc", 77);
        FAIL();
    } catch (const EStringFormat& e) {
        EXPECT_STREQ(e.what(), "String Format \"77\" not exists.");
    }

    struct OtherHex : TStringFormat_HEX {
        std::string_view ClassName() const override { return "TStringFormat_OtherHex"; }
    };
    static const OtherHex other;
    EXPECT_EQ(other.Name(), "Hexadecimal"); // inherited
    EXPECT_EQ(other.TStringFormat::Name(), "OtherHex");
    RegisterStringFormats({&other});
    EXPECT_EQ(StringFormats()[1], &other);
    EXPECT_EQ(StringFormats().size(), 6u);
    RegisterStringFormats({&TStringFormat_HEX::Instance()});
    EXPECT_EQ(StringFormats()[1], &TStringFormat_HEX::Instance());
}

} // namespace
} // namespace kd::test
