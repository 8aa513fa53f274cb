#pragma once
#include <string_view>

namespace kd {

// Result codes of MatchPattern.
enum MatchResult : int {
    MatchValid = 1,      // the text matches
    MatchPatternEnd = 2, // the pattern ended before the text
    MatchTextEnd = 3,    // the text ended before the pattern (or a star found no place)
    MatchRange = 4,      // a set did not accept the character
    MatchLiteral = 5,    // a literal character differed
    MatchBadPattern = 6, // the pattern holds a malformed set
};

// Matches a file name against a mask. Both are UTF-8; letters A-Z compare without
// case, everything else as it is. "*" takes any run of characters, "?" exactly one
// character (one UTF-8 sequence), and "<...>" a set: single characters and ranges
// "a-z", negated by a leading "!" or "^" (square brackets are ordinary characters).
// A set with no items, without its ">", or ending in an unfinished range makes the
// whole pattern malformed. Runs in time proportional to pattern length times text
// length, whatever the stars.
int MatchPattern(std::string_view pattern, std::string_view text);

// True exactly when MatchPattern gives MatchValid.
bool WildcardMatch(std::string_view pattern, std::string_view text);

} // namespace kd
