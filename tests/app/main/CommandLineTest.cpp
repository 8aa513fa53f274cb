#include "app/core/main/CommandLine.h"

#include <gtest/gtest.h>

using namespace kd;

namespace {

CommandLine parse(std::vector<std::string> arguments, const std::string& program = "/opt/kd") {
    return CommandLine::parse(program, arguments);
}

} // namespace

TEST(CommandLineTest, RunAndRestoreSwitchesInAnyLetterCase) {
    const CommandLine run = parse({"A", "Účetnictví-DATA"});
    EXPECT_TRUE(run.RunSwitch);
    EXPECT_FALSE(run.RestoreSwitch);
    // Only A-Z are lower-cased; other letters stay as typed.
    EXPECT_EQ(run.RunProfileName, "Účetnictví-data");

    const CommandLine restore = parse({"x", "O", "Mzdy"});
    EXPECT_TRUE(restore.RestoreSwitch);
    EXPECT_EQ(restore.RestoreProfileName, "mzdy");
    EXPECT_FALSE(restore.RunSwitch);
}

TEST(CommandLineTest, SwitchAsTheLastArgumentHasAnEmptyName) {
    const CommandLine line = parse({"a"});
    EXPECT_TRUE(line.RunSwitch);
    EXPECT_EQ(line.RunProfileName, "");
}

TEST(CommandLineTest, TheArgumentAfterASwitchIsASwitchToo) {
    // "a s" backs up the profile "s" and also sets the delay from the next argument.
    const CommandLine line = parse({"a", "s", "7"});
    EXPECT_EQ(line.RunProfileName, "s");
    EXPECT_TRUE(line.DelaySwitch);
    EXPECT_EQ(line.DelayMinutes, 7);
    // A profile named "1" is also the started-with-the-system mark.
    EXPECT_TRUE(parse({"o", "1"}).StartedWithSystem);
}

TEST(CommandLineTest, DelayMinutes) {
    struct Case {
        std::vector<std::string> arguments;
        int minutes;
    };
    const Case cases[] = {
        {{"s", "10"}, 10},         {{"S", "+5"}, 5},
        {{"s", "x"}, 0},           {{"s", "10x"}, 0},
        {{"s", " 10"}, 0},         {{"s"}, 0},
        {{"s", "-20"}, 0},         {{"s", "99999999999999999999"}, 366 * 24 * 60},
        {{"s", "3", "s", "4"}, 4},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.arguments);
        EXPECT_TRUE(line.DelaySwitch);
        EXPECT_EQ(line.DelayMinutes, c.minutes) << ::testing::PrintToString(c.arguments);
    }
    EXPECT_FALSE(parse({"10"}).DelaySwitch);
}

TEST(CommandLineTest, StartedWithTheSystem) {
    EXPECT_TRUE(parse({"1"}).StartedWithSystem);
    EXPECT_TRUE(parse({}, "1").StartedWithSystem);
    EXPECT_FALSE(parse({"01", "11", "wait"}).StartedWithSystem);
    EXPECT_FALSE(parse({}).RunSwitch);
}
