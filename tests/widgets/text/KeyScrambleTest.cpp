#include "widgets/text/KeyScramble.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(KeyScrambleTest, AnEmptyKeyGivesThePlainBytesInLowerCaseHex) {
    EXPECT_EQ(EncodeXorHex("", "abc"), "616263");
    EXPECT_EQ(EncodeXorHex("", "\xff\x0a"), "ff0a");
    EXPECT_EQ(DecodeXorHex("", "616263"), "abc");
}

TEST(KeyScrambleTest, TheKeyRepeatsAndDecodingGivesTheTextBack) {
    // 'a' ^ 'k' = 0x0a, 'b' ^ 'y' = 0x1b, 'c' ^ 'k' = 0x08
    EXPECT_EQ(EncodeXorHex("ky", "abc"), "0a1b08");
    const std::string text = "heslo s diakritikou \xc5\xbelu\xc5\xa5ou\xc4\x8dk\xc3\xbd";
    EXPECT_EQ(DecodeXorHex("klic", EncodeXorHex("klic", text)), text);
    EXPECT_EQ(DecodeXorHex("ky", "0A1B08"), "abc"); // upper-case digits read too
}

TEST(KeyScrambleTest, DamagedHexDecodesWithoutFailing) {
    EXPECT_EQ(DecodeXorHex("", "61zz6"), "a ");    // a bad pair is a blank, an odd digit dropped
    EXPECT_EQ(DecodeXorHex("\x01", "zz"), "\x21"); // the blank is unscrambled like any pair
    EXPECT_EQ(DecodeXorHex("key", ""), "");
}
