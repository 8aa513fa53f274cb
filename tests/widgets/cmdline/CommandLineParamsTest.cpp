#include "widgets/cmdline/CommandLineParams.h"

#include <gtest/gtest.h>

namespace kd {
namespace {

TEST(CommandLineParams, QuotedProgramAndParameters) {
    const std::string line = "\"/opt/My Apps/editor\" -n \"a b\"  file.txt";
    EXPECT_EQ(CountCommandLineParams(line), 4u);
    EXPECT_EQ(CommandLineParam(line, 0), "/opt/My Apps/editor");
    EXPECT_EQ(CommandLineParam(line, 2), "a b");
    EXPECT_EQ(CommandLineParam(line, 4), "");
    std::string program, params;
    SplitProgramAndParams(line, program, params);
    EXPECT_EQ(program, "/opt/My Apps/editor");
    EXPECT_EQ(params, "-n \"a b\" file.txt");
}

TEST(CommandLineParams, SeparatorsEmptyQuotesAndUnclosedRuns) {
    EXPECT_EQ(CountCommandLineParams(""), 0u);
    EXPECT_EQ(CountCommandLineParams(" \t\r\n"), 0u);
    // A pair of quotes between parameters is no parameter.
    EXPECT_EQ(CountCommandLineParams("prog \"\" x"), 2u);
    EXPECT_EQ(CommandLineParam("prog \"\" x", 1), "x");
    // Quoted runs join the characters around them; an unclosed one runs to the end.
    EXPECT_EQ(CommandLineParam("a\"b c\"d", 0), "ab cd");
    EXPECT_EQ(CommandLineParam("x \"open end ", 1), "open end ");
    // Bytes above 127 are ordinary characters (UTF-8 names).
    EXPECT_EQ(CommandLineParam("zaloha \u017elu\u0165ou\u010dk\u00fd", 1),
              "\u017elu\u0165ou\u010dk\u00fd");

    std::string program = "old", params = "old";
    SplitProgramAndParams("  ", program, params);
    EXPECT_EQ(program, "");
    EXPECT_EQ(params, "");
}

TEST(CommandLineParams, ParametersLongerThanAnyBuffer) {
    const std::string path(5000, 'p');
    std::string program, params;
    SplitProgramAndParams("prog \"" + path + " x\"", program, params);
    EXPECT_EQ(params, "\"" + path + " x\"");
}

} // namespace
} // namespace kd
