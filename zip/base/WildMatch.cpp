#include "zip/base/WildMatch.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/CodePage.h"

namespace kd {

namespace {

char32_t lowerAscii(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

std::u32string decodeLower(std::string_view s) {
    std::u32string out;
    std::size_t pos = 0;
    while (pos < s.size())
        out += lowerAscii(nextCodePoint(s, pos));
    return out;
}

struct Range {
    char32_t first, last;
};

// One item of a parsed pattern.
struct Token {
    enum Kind { Literal, AnyOne, Set, Star } kind;
    char32_t ch;
    bool negated = false;
    std::vector<Range> ranges;

    explicit Token(Kind k, char32_t c = 0) : kind(k), ch(c) {}

    bool accepts(char32_t c) const {
        switch (kind) {
        case Literal:
            return c == ch;
        case AnyOne:
            return true;
        case Set: {
            bool inSet = false;
            for (const auto& r : ranges)
                if (c >= r.first && c <= r.last) {
                    inSet = true;
                    break;
                }
            return inSet != negated;
        }
        case Star:
            break;
        }
        return false;
    }
};

// Parses a set starting after its "<"; nullopt when malformed.
std::optional<Token> parseSet(const std::u32string& p, std::size_t& i) {
    Token t{Token::Set};
    if (i < p.size() && (p[i] == U'!' || p[i] == U'^')) {
        t.negated = true;
        ++i;
    }
    while (i < p.size() && p[i] != U'>') {
        const char32_t first = p[i++];
        if (i < p.size() && p[i] == U'-') {
            if (i + 1 >= p.size() || p[i + 1] == U'>')
                return std::nullopt; // a range without its last character
            t.ranges.push_back({first, p[i + 1]});
            i += 2;
        } else {
            t.ranges.push_back({first, first});
        }
    }
    if (i >= p.size() || t.ranges.empty())
        return std::nullopt; // not closed, or no items
    ++i;                     // the ">"
    return t;
}

std::optional<std::vector<Token>> parse(const std::u32string& p) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < p.size()) {
        const char32_t c = p[i++];
        if (c == U'<') {
            auto set = parseSet(p, i);
            if (!set)
                return std::nullopt;
            tokens.push_back(std::move(*set));
        } else if (c == U'*') {
            tokens.push_back(Token{Token::Star});
        } else if (c == U'?') {
            tokens.push_back(Token{Token::AnyOne});
        } else {
            tokens.push_back(Token{Token::Literal, c});
        }
    }
    return tokens;
}

// Matches tokens from index `from` (a star) against the text from `pos`. Greedy with
// a return to the last star: each star is retried at most once per text position,
// so the work stays within tokens x text.
bool starMatch(const std::vector<Token>& tokens, std::size_t from, const std::u32string& text,
               std::size_t pos) {
    std::size_t ti = from;
    std::size_t lastStar = std::string::npos, starPos = 0;
    while (pos < text.size()) {
        if (ti < tokens.size() && tokens[ti].kind == Token::Star) {
            lastStar = ti++;
            starPos = pos;
        } else if (ti < tokens.size() && tokens[ti].accepts(text[pos])) {
            ++ti;
            ++pos;
        } else if (lastStar != std::string::npos) {
            ti = lastStar + 1;
            pos = ++starPos;
        } else {
            return false;
        }
    }
    while (ti < tokens.size() && tokens[ti].kind == Token::Star)
        ++ti;
    return ti == tokens.size();
}

} // namespace

int MatchPattern(std::string_view pattern, std::string_view text) {
    if (pattern == "*")
        return MatchValid;
    const auto tokens = parse(decodeLower(pattern));
    if (!tokens)
        return MatchBadPattern;
    const std::u32string t = decodeLower(text);
    std::size_t ti = 0, pos = 0;
    for (;; ++ti, ++pos) {
        if (ti == tokens->size())
            return pos == t.size() ? MatchValid : MatchPatternEnd;
        const Token& tok = (*tokens)[ti];
        if (pos == t.size()) {
            // Only stars may be left over for an exhausted text.
            for (std::size_t k = ti; k < tokens->size(); ++k)
                if ((*tokens)[k].kind != Token::Star)
                    return MatchTextEnd;
            return MatchValid;
        }
        if (tok.kind == Token::Star)
            return starMatch(*tokens, ti, t, pos) ? MatchValid : MatchTextEnd;
        if (!tok.accepts(t[pos]))
            return tok.kind == Token::Set ? MatchRange : MatchLiteral;
    }
}

bool WildcardMatch(std::string_view pattern, std::string_view text) {
    return MatchPattern(pattern, text) == MatchValid;
}

} // namespace kd
