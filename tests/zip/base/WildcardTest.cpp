#include "zip/base/WildMatch.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "support/TempDir.h"

using namespace kd;

TEST(Wildcard, MasksOfTheEngine) {
    EXPECT_TRUE(WildcardMatch("*.*", "readme."));
    EXPECT_FALSE(WildcardMatch("*.*", "readme"));
    EXPECT_TRUE(WildcardMatch("*.txt", "Notes.TXT"));
    EXPECT_TRUE(WildcardMatch("*", ""));
    EXPECT_TRUE(WildcardMatch("a**", "a"));
    EXPECT_FALSE(WildcardMatch("?", ""));
    EXPECT_TRUE(WildcardMatch("[x].txt", "[X].TXT")); // brackets are ordinary characters
}

TEST(Wildcard, ResultCodes) {
    EXPECT_EQ(MatchPattern("abc", "abc"), MatchValid);
    EXPECT_EQ(MatchPattern("ab", "abc"), MatchPatternEnd);
    EXPECT_EQ(MatchPattern("abc", "ab"), MatchTextEnd);
    EXPECT_EQ(MatchPattern("a*x", "abc"), MatchTextEnd);
    EXPECT_EQ(MatchPattern("a<0-9>", "ab"), MatchRange);
    EXPECT_EQ(MatchPattern("abd", "abc"), MatchLiteral);
    EXPECT_EQ(MatchPattern("a<>", "ab"), MatchBadPattern);
}

TEST(Wildcard, Sets) {
    EXPECT_TRUE(WildcardMatch("file<0-9>.dat", "file7.dat"));
    EXPECT_FALSE(WildcardMatch("file<0-9>.dat", "fileA.dat"));
    EXPECT_FALSE(WildcardMatch("file<!0-9>.dat", "file7.dat"));
    EXPECT_TRUE(WildcardMatch("file<!0-9>.dat", "fileA.dat"));
    EXPECT_TRUE(WildcardMatch("file<^0-9>.dat", "fileA.dat"));
    EXPECT_TRUE(WildcardMatch("<abc>x", "Bx"));
    EXPECT_TRUE(WildcardMatch("<a-cx-z>", "y"));
    EXPECT_FALSE(WildcardMatch("<z-a>", "m")); // a reversed range holds nothing
    EXPECT_TRUE(WildcardMatch("<->", "-"));
    EXPECT_TRUE(WildcardMatch("*<0-9>", "abc7"));
    EXPECT_FALSE(WildcardMatch("*<0-9>", "abc"));
    EXPECT_TRUE(WildcardMatch("<č-ž>.txt", "ř.txt")); // ranges over code points
}

TEST(Wildcard, MalformedSetsMatchNothing) {
    for (const char* pattern : {"<>", "<!>", "<^>", "a<b", "<a->", "<a-", "*<>", "x*<!>"}) {
        SCOPED_TRACE(pattern);
        EXPECT_EQ(MatchPattern(pattern, ""), MatchBadPattern);
        EXPECT_EQ(MatchPattern(pattern, "ab"), MatchBadPattern);
        EXPECT_FALSE(WildcardMatch(pattern, "a"));
    }
}

TEST(Wildcard, QuestionMarkTakesOneUtf8Character) {
    EXPECT_TRUE(WildcardMatch("?.txt", "ž.txt"));
    EXPECT_TRUE(WildcardMatch("a?c", "a€c"));
    EXPECT_TRUE(WildcardMatch("a?c", "a漢c"));
    EXPECT_FALSE(WildcardMatch("a??c", "a€c"));
    EXPECT_TRUE(WildcardMatch("*?", "€"));
    EXPECT_FALSE(WildcardMatch("Ž*", "ž")); // only A-Z fold
}

TEST(Wildcard, ManyStarsStayFast) {
    const std::string as(20000, 'a');
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*b", as));
    EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a*b", as + "b"));
    EXPECT_FALSE(WildcardMatch("*?*?*?*?*?*?*?*c", as));
}

// Random masks without sets, checked against Python's fnmatch on lower-cased input.
TEST(Wildcard, AgreesWithPythonFnmatch) {
    std::mt19937 rng(20240601);
    auto randomText = [&](const std::string& alphabet, int maxLength) {
        std::string s(static_cast<std::size_t>(rng() % static_cast<unsigned>(maxLength + 1)), ' ');
        for (char& c : s)
            c = alphabet[rng() % alphabet.size()];
        return s;
    };
    std::vector<std::pair<std::string, std::string>> cases;
    for (int i = 0; i < 4000; ++i)
        cases.emplace_back(randomText("aB.*?*", 7), randomText("abA.B", 9));

    test::TempDir dir;
    std::ostringstream input;
    for (const auto& [pattern, text] : cases)
        input << pattern << '\t' << text << '\n';
    const std::string data = dir.write("cases.txt", input.str());
    const std::string script =
        dir.write("check.py", "import fnmatch, sys\n"
                              "for line in open(sys.argv[1]).read().splitlines():\n"
                              "    p, t = line.split('\\t')\n"
                              "    print(1 if fnmatch.fnmatchcase(t.lower(), p.lower()) else 0)\n");
    std::string output;
    ASSERT_EQ(test::runCommand("python3 " + script + " " + data, &output), 0) << output;
    std::istringstream answers(output);
    for (const auto& [pattern, text] : cases) {
        int expected = -1;
        answers >> expected;
        ASSERT_EQ(WildcardMatch(pattern, text), expected == 1)
            << "pattern '" << pattern << "' text '" << text << "'";
    }
}
