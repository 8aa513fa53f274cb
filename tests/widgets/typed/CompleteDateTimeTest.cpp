#include "widgets/typed/CompleteDateTime.h"

#include <gtest/gtest.h>
#include <ostream>

namespace kd {
namespace {

struct Completion {
    const char* typed;
    const char* completed; // "" when the text cannot be completed
};

void PrintTo(const Completion& c, std::ostream* os) {
    *os << '"' << c.typed << "\" -> \"" << c.completed << '"';
}

const QDate kToday(2026, 12, 7);

class CompleteDateTest : public testing::TestWithParam<Completion> {};

TEST_P(CompleteDateTest, CompletesFromToday) {
    const FormatSettings format;
    EXPECT_EQ(CompleteDate(QString::fromUtf8(GetParam().typed), kToday, format).toStdString(),
              GetParam().completed);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CompleteDateTest,
    testing::Values(Completion{"5", "5.12.2026"}, Completion{"5.", "5.12.2026"},
                    Completion{" 15 ", "15.12.2026"}, Completion{"5/3", "5.3.2026"},
                    Completion{"5-3.", "5.3.2026"}, Completion{"5.3.", "5.3.2026"},
                    Completion{"5.3.27", "5.3.27"}, Completion{".", "7.12.2026"},
                    Completion{"+anything", "7.12.2026"}, Completion{"050327", "05.03.27"},
                    Completion{"5..3", ""}, Completion{"123", ""}, Completion{"12345", ""},
                    Completion{"a", ""}, Completion{"5.x", ""}, Completion{"5.3.2026x", ""},
                    // Delimiters after the second one are not replaced.
                    Completion{"1.2.20/6", ""}));

TEST(CompleteDateTest, EmptyTextStaysAsItIs) {
    EXPECT_EQ(CompleteDate("", kToday, {}), "");
    EXPECT_EQ(CompleteDate("   ", kToday, {}), "   ");
}

TEST(CompleteDateTest, UsesTheGivenSeparators) {
    FormatSettings format;
    format.DateSeparator = u'/';
    EXPECT_EQ(CompleteDate("5.3", kToday, format), "5/3/2026");
    EXPECT_EQ(CompleteDate("5", kToday, format), "5/12/2026");
}

class CompleteTimeTest : public testing::TestWithParam<Completion> {};

TEST_P(CompleteTimeTest, FillsTheMissingPartsWithZeros) {
    EXPECT_EQ(CompleteTime(QString::fromUtf8(GetParam().typed), {}).toStdString(),
              GetParam().completed);
}

INSTANTIATE_TEST_SUITE_P(Times, CompleteTimeTest,
                         testing::Values(Completion{"7", "7:00:00"}, Completion{"7:", "7:00:00"},
                                         Completion{"7.30", "7:30:00"},
                                         Completion{"7:30:", "7:30:00"},
                                         Completion{"073015", "07:30:15"},
                                         Completion{":", "0:00:00"}, Completion{"7::", ""},
                                         Completion{"7h", ""}, Completion{"1234", ""}));

} // namespace
} // namespace kd
