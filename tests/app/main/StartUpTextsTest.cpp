#include "app/core/main/StartUpTexts.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace kd::test {

TEST(StartUpTexts, AreInTheLanguageOfTheSettingsBesideTheProgram) {
    TempDir dir;
    EXPECT_TRUE(alreadyRunningText(dir.path()).starts_with("Kordyne už běží; nic nebylo"));
    dir.write("Nastaven.txt", "ZALOHA=BEZDOT\r\nLANGUAGE=sk\r\n");
    EXPECT_TRUE(alreadyRunningText(dir.path()).starts_with("Kordyne už beží; nič nebolo"));
    EXPECT_TRUE(noDisplayText(dir.path()).starts_with("Kordyne nenašiel žiadny displej."));
    dir.write("Nastaven.txt", "LANGUAGE=EN\r\n");
    EXPECT_EQ(alreadyRunningText(dir.path()),
              "Kordyne is already running; nothing was backed up or restored (add \"wait\" to "
              "wait for it).");
    dir.write("Nastaven.txt", "TIMER=x\r\nLANGUAGE=CZ\r\n");
    EXPECT_TRUE(alreadyRunningText(dir.path()).starts_with("Kordyne už běží"));
}

} // namespace kd::test
