#include "app/core/profiles/ProfilePassword.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(ProfilePassword, StoredFormDoublesEachCode) {
    // "ab" -> codes 194 and 196, in Windows-1250 "Â" and "Ä".
    const std::string stored = encodeStoredPassword("ab");
    EXPECT_EQ(fromUtf8(stored, CodePage::Cp1250), std::string("\xC2\xC4"));
    EXPECT_EQ(decodeStoredPassword(stored), "ab");
}

TEST(ProfilePassword, EveryPrintableAsciiCharacterRoundTrips) {
    std::string all;
    for (char c = ' '; c <= '~'; ++c)
        all += c;
    EXPECT_TRUE(isValidPasswordText(all));
    const std::string stored = encodeStoredPassword(all);
    EXPECT_EQ(decodeStoredPassword(stored), all);
    // The stored form survives the line-based file: no CR, no LF, no NUL.
    EXPECT_EQ(stored.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
    EXPECT_EQ(encodeStoredPassword(""), "");
}

TEST(ProfilePassword, NonAsciiAndControlCharactersAreRefused) {
    const std::string refused[] = {"heslo\xC5\xA1", "tab\t", std::string("a\0b", 3), "\x7F"};
    for (const std::string& plain : refused) {
        EXPECT_FALSE(isValidPasswordText(plain));
        EXPECT_THROW(encodeStoredPassword(plain), Exception);
    }
    EXPECT_NE(passwordRuleText("CZ").find("ASCII"), std::string::npos);
    EXPECT_NE(passwordRuleText("EN"), passwordRuleText("CZ"));
    EXPECT_NE(passwordRuleText("SK"), passwordRuleText("CZ"));
    EXPECT_EQ(passwordRuleText("DE"), passwordRuleText("CZ"));
}

TEST(ProfilePassword, CodesAbove127ComeBackLowerAsInOldFiles) {
    // The original program stored "š" (0x9A) as 0x34 ("4"); it reads back as 0x1A.
    EXPECT_EQ(decodeStoredPassword("4"), "\x1A");
}

TEST(ProfilePassword, PasswordLineChoosesTheBytesThatFormAStoredPassword) {
    const std::string stored = encodeStoredPassword("aB"); // bytes C2 84
    // A file we wrote: the decoded line is the stored form.
    EXPECT_EQ(storedPasswordFromLine(stored, stored), stored);
    // An original file decoded as UTF-8 because C2 84 is valid UTF-8 (U+0084).
    EXPECT_EQ(storedPasswordFromLine("\xC2\x84", "\xC2\x84"), stored);
    // An original file decoded from Windows-1250: the decoded line is right.
    EXPECT_EQ(storedPasswordFromLine(stored, "\xC2\x84"), stored);
}

TEST(ProfilePassword, UnconfirmedEditKeepsThePassword) {
    const std::string old = encodeStoredPassword("old");
    EXPECT_EQ(storedPasswordAfterEdit(old, "new", false), old);
    EXPECT_EQ(storedPasswordAfterEdit(old, "new", true), encodeStoredPassword("new"));
    EXPECT_EQ(storedPasswordAfterEdit(old, "", true), "");
    EXPECT_EQ(storedPasswordAfterEdit("", "typed", false), "");
}
