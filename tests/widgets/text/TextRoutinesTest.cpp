#include "widgets/text/TextReplace.h"
#include "widgets/text/TextWords.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(TextWords, CountsAndPicksWordsBetweenAnyRunOfDelimiters) {
    const CharSet delimiters(" ,");
    const std::string text = "10, 20,30";
    EXPECT_EQ(CountWords(text, delimiters), 3u);
    EXPECT_EQ(NthWord(1, text, delimiters), "10");
    EXPECT_EQ(NthWord(2, text, delimiters), "20");
    EXPECT_EQ(NthWord(3, text, delimiters), "30");
    EXPECT_EQ(NthWord(5, text, delimiters), "");
    EXPECT_EQ(WordStart(3, text, delimiters), 8u);
    EXPECT_EQ(WordStart(4, text, delimiters), 0u);
    EXPECT_EQ(CountWords(" ,, ", delimiters), 0u);
    EXPECT_EQ(CountWords(",,a", delimiters), 1u);
}

TEST(TextWords, WordsOfAnyLength) {
    const std::string longWord(100000, 'x');
    const std::string text = "a," + longWord + ",b";
    EXPECT_EQ(NthWord(2, text, CharSet(",")), longWord);
}

TEST(TextWords, NextDelimitedFieldWalksFieldsIncludingEmptyOnes) {
    const CharSet semicolon(";");
    std::size_t position = 1;
    EXPECT_EQ(NextDelimitedField("a;b", position, semicolon), "a");
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(NextDelimitedField("a;b", position, semicolon), "b");
    EXPECT_EQ(position, 4u);

    position = 1;
    EXPECT_EQ(NextDelimitedField(";x", position, semicolon), "");
    EXPECT_EQ(position, 2u);
    EXPECT_EQ(NextDelimitedField(";x", position, semicolon), "x");
    position = 10;
    EXPECT_EQ(NextDelimitedField(";x", position, semicolon), "");
    EXPECT_EQ(position, 3u);
}

TEST(TextReplace, ReplacesLeftToRightWithoutRescanning) {
    EXPECT_EQ(ReplaceAllText("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAllText("abc", "b", "bb"), "abbc");
    EXPECT_EQ(ReplaceAllText("x-y-", "-", ""), "xy");
    EXPECT_EQ(ReplaceAllText("text", "", "z"), "text");
    EXPECT_EQ(RemoveCharacter("&File && more", '&'), "File  more");
}

} // namespace
} // namespace kd
