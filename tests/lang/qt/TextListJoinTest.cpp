#include "lang/qt/TextListJoin.h"

#include <gtest/gtest.h>

using namespace kd;

namespace {

struct JoinCase {
    QStringList lines;
    QString joined;
    QStringList splitBack;
};

class TextListJoin : public ::testing::TestWithParam<JoinCase> {};

} // namespace

TEST_P(TextListJoin, JoinsAndSplitsBack) {
    const JoinCase& c = GetParam();
    EXPECT_EQ(joinTextLines(c.lines), c.joined);
    EXPECT_EQ(splitTextLines(c.joined), c.splitBack);
}

INSTANTIATE_TEST_SUITE_P(Lists, TextListJoin,
                         ::testing::Values(JoinCase{{"a,b", "c"}, "a,,b,c", {"a,b", "c"}},
                                           JoinCase{{"a", ""}, "a,", {"a"}}, JoinCase{{}, "", {}},
                                           JoinCase{{"", "x"}, ",x", {"", "x"}},
                                           JoinCase{{"dny", "týdny", "měsíce"},
                                                    "dny,týdny,měsíce",
                                                    {"dny", "týdny", "měsíce"}},
                                           JoinCase{{"a,"}, "a,,", {"a,"}}));
