#include "app/core/profiles/ProfileRename.h"
#include "app/core/profiles/ProfileName.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kd;
using kd::test::TempDir;

namespace {

namespace fs = std::filesystem;

TObjektZal profile(const std::string& name, const std::string& description = "") {
    TObjektZal r;
    r.Name = name;
    r.Description = description;
    return r;
}

std::string messageText(int id) {
    return "<" + std::to_string(id) + ">";
}

} // namespace

TEST(ProfileName, ChecksTheNameBeforeItBecomesAFileName) {
    const std::vector<std::string> others = {"Dokumenty", "Fotky"};
    EXPECT_EQ(checkProfileName("Účetnictví 2024", others), ProfileNameProblem::None);
    EXPECT_EQ(checkProfileName("", others), ProfileNameProblem::Empty);
    EXPECT_EQ(checkProfileName("a/b", others), ProfileNameProblem::Separator);
    EXPECT_EQ(checkProfileName("a\\b", others), ProfileNameProblem::Separator);
    EXPECT_EQ(checkProfileName("..", others), ProfileNameProblem::Dot);
    EXPECT_EQ(checkProfileName("x.y", others), ProfileNameProblem::Dot);
    EXPECT_EQ(checkProfileName("DOKUMENTY", others), ProfileNameProblem::Clash);
    EXPECT_EQ(checkProfileName("fotky", others), ProfileNameProblem::Clash);

    EXPECT_EQ(profileNameProblemText(ProfileNameProblem::None, "x", "CZ"), "");
    EXPECT_EQ(profileNameProblemText(ProfileNameProblem::Clash, "fotky", "EN"),
              "A profile with this name already exists: fotky");
    EXPECT_NE(profileNameProblemText(ProfileNameProblem::Dot, "", "SK"),
              profileNameProblemText(ProfileNameProblem::Dot, "", "CZ"));
}

TEST(ProfileRename, WritesTheNewFileMovesTheStampAndRemovesTheOldFile) {
    TempDir dir;
    SaveProfile(profile("Old"), dir.path());
    dir.write("Old.txt", "1.2.2024\r\n10:00:00\r\n");
    dir.write("Old.log", "log");

    const auto problems = saveProfileRenamed(profile("New", "renamed"), dir.path(), "Old");
    EXPECT_TRUE(problems.empty());
    EXPECT_FALSE(fs::exists(dir.file("Old.lus")));
    EXPECT_FALSE(fs::exists(dir.file("Old.txt")));
    EXPECT_TRUE(fs::exists(dir.file("New.txt")));
    EXPECT_TRUE(fs::exists(dir.file("Old.log")));
    TObjektZal loaded;
    LoadProfile(loaded, dir.path(), "New");
    EXPECT_EQ(loaded.Description, "renamed");
}

TEST(ProfileRename, ChangingOnlyTheLetterCaseRenames) {
    TempDir dir;
    SaveProfile(profile("abc"), dir.path());
    EXPECT_TRUE(saveProfileRenamed(profile("ABC"), dir.path(), "abc").empty());
    EXPECT_TRUE(fs::exists(dir.file("ABC.lus")));
    EXPECT_FALSE(fs::exists(dir.file("abc.lus")));
}

TEST(ProfileRename, RefusesToOverwriteAnotherProfileOrAnInvalidName) {
    TempDir dir;
    SaveProfile(profile("One", "first"), dir.path());
    SaveProfile(profile("Two", "second"), dir.path());
    EXPECT_THROW(saveProfileRenamed(profile("Two", "first"), dir.path(), "One"), Exception);
    EXPECT_THROW(saveProfileRenamed(profile("../Two"), dir.path(), "One"), Exception);
    EXPECT_THROW(saveProfileRenamed(profile(""), dir.path(), "One"), Exception);
    TObjektZal two;
    LoadProfile(two, dir.path(), "Two");
    EXPECT_EQ(two.Description, "second");
    EXPECT_TRUE(fs::exists(dir.file("One.lus")));
}

TEST(ProfileRename, KeepsTheOldFileWhenTheNewOneCannotBeWritten) {
    TempDir dir;
    SaveProfile(profile("Old", "kept"), dir.path());
    dir.write("Old.txt", "stamp");
    const std::string tooLong(300, 'x'); // longer than a file name may be
    EXPECT_THROW(saveProfileRenamed(profile(tooLong), dir.path(), "Old"), Exception);
    TObjektZal old;
    LoadProfile(old, dir.path(), "Old");
    EXPECT_EQ(old.Description, "kept");
    EXPECT_TRUE(fs::exists(dir.file("Old.txt")));
}

TEST(ProfileRename, MissingOldFileIsReportedAndTheNewOneSaved) {
    TempDir dir;
    const auto problems = saveProfileRenamed(profile("New"), dir.path(), "Gone");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], (ProfileFileProblem{ProfileFileProblem::Kind::Missing, "Gone"}));
    EXPECT_TRUE(fs::exists(dir.file("New.lus")));
    const MessageBoxText box = describeProfileFileProblem(problems[0], messageText);
    EXPECT_EQ(box.caption, "<10009>");
    EXPECT_EQ(box.text, "<11004>Gone<11005>");

    const MessageBoxText cannot = describeProfileFileProblem(
        {ProfileFileProblem::Kind::CannotDelete, "Old.lus"}, messageText);
    EXPECT_EQ(cannot.caption, "<20000>");
    EXPECT_EQ(cannot.text, "<11003>Old.lus");
}

TEST(ProfileRename, SavingUnderTheSameNameJustSaves) {
    TempDir dir;
    dir.write("Same.txt", "stamp");
    EXPECT_TRUE(saveProfileRenamed(profile("Same", "v1"), dir.path(), "").empty());
    EXPECT_TRUE(saveProfileRenamed(profile("Same", "v2"), dir.path(), "Same").empty());
    TObjektZal r;
    LoadProfile(r, dir.path(), "Same");
    EXPECT_EQ(r.Description, "v2");
    EXPECT_TRUE(fs::exists(dir.file("Same.txt")));
}
