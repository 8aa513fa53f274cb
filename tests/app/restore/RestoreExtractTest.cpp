#include "app/core/logs/RunLogs.h"
#include "app/core/settings/OverwriteChoice.h"
#include "app/support/RestoreFixture.h"
#include "platform/TextFile.h"

#include <gmock/gmock.h>

namespace kd::test {
namespace {

namespace fs = std::filesystem;

// Extraction from the contents page with the dialog's options, into out/.
class RestoreExtractTest : public RestoreFixture {
protected:
    RestoreExtractTest() {
        backUp();
        addProfile();
        create();
        EXPECT_TRUE(restore.OpenProfileArchive(0));
        options = extractOptionsFromReader(engine, false);
        options.destDir = dir.file("out");
        options.recreateDirs = true;
    }
    int rowOf(const std::string& storedName) {
        for (int i = 0; i < engine.GetEntryCount(); ++i)
            if (engine.Entry(i).FullName() == storedName)
                return i;
        return -1;
    }
    std::vector<std::string> extractedFiles() {
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir.file("out")))
            if (e.is_regular_file())
                files.push_back(fs::relative(e.path(), dir.file("out")).string());
        std::sort(files.begin(), files.end());
        return files;
    }

    ExtractOptions options;
};

TEST_F(RestoreExtractTest, DialogStartsFromTheReadersSettings) {
    engine.SetOverwriteMode(TUZOverwriteMode::ifOlder);
    engine.SetPassword("pw");
    const ExtractOptions shown = extractOptionsFromReader(engine, true);
    EXPECT_EQ(shown.choice, ExtractChoice::Selected);
    EXPECT_EQ(shown.destDir, dir.file("src"));
    EXPECT_EQ(kOverwriteChoiceItems[static_cast<std::size_t>(shown.overwritePosition)], "Starší");
    EXPECT_EQ(shown.password, "pw");
    EXPECT_TRUE(shown.retainAttributes);
    EXPECT_EQ(extractOptionsFromReader(engine, false).choice, ExtractChoice::All);
}

TEST_F(RestoreExtractTest, AllEntriesWithOrWithoutTheirDirectories) {
    EXPECT_EQ(restore.ExtractFromContents(options, {}), 4); // files, not directories
    EXPECT_EQ(extractedFiles(), (std::vector<std::string>{"docs/deep/table.csv", "docs/letter.txt",
                                                          "photo.jpg", "readme.txt"}));
    fs::remove_all(dir.file("out"));
    options.recreateDirs = false;
    restore.ExtractFromContents(options, {});
    EXPECT_EQ(extractedFiles(),
              (std::vector<std::string>{"letter.txt", "photo.jpg", "readme.txt", "table.csv"}));
}

TEST_F(RestoreExtractTest, SelectedRowsOnly) {
    options.choice = ExtractChoice::Selected;
    EXPECT_EQ(
        restore.ExtractFromContents(options, {rowOf("docs/deep/table.csv"), rowOf("photo.jpg")}),
        2);
    EXPECT_EQ(extractedFiles(), (std::vector<std::string>{"docs/deep/table.csv", "photo.jpg"}));
    // The extraction ends with its closing box, also when all went well.
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Obnova je dokončena.\nObnoveno souborů: 2\n"
                                "Nepodařilo se obnovit: 0\nPonecháno stávajících souborů: 0");
    EXPECT_EQ(ui.shown[0].caption, "");
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Information);
}

TEST_F(RestoreExtractTest, MaskChoosesEntriesAndRelativeDirectoryIsLeftOut) {
    options.choice = ExtractChoice::Mask;
    options.mask = "*.txt";
    options.relDir = "docs";
    EXPECT_EQ(restore.ExtractFromContents(options, {}), 2);
    EXPECT_EQ(extractedFiles(), (std::vector<std::string>{"letter.txt", "readme.txt"}));
}

// Each extraction shows its own progress from the start, and none is left in the
// status bar when it ends.
TEST_F(RestoreExtractTest, EachExtractionShowsItsProgressAndClearsIt) {
    for (int extraction = 0; extraction < 2; ++extraction) {
        fs::remove_all(dir.file("out"));
        view.status.clear();
        restore.ExtractFromContents(options, {});
        ASSERT_GE(view.status.size(), 2u) << extraction;
        EXPECT_EQ(view.status.front().rfind("Dokončeno :", 0), 0u) << view.status.front();
        EXPECT_EQ(view.status.back(), "");
    }
}

// What the contents page extracts is in the profile's log as a restore is: the
// header, a line for each file, new or replaced (a file the overwrite rule keeps has
// none), and the counts.
TEST_F(RestoreExtractTest, ExtractionIsLoggedAsARestore) {
    dir.write("out/readme.txt", "mine\n");
    options.choice = ExtractChoice::Mask;
    options.mask = "*.txt";
    const auto extract = [&](std::string_view overwrite) {
        for (std::size_t i = 0; i < kOverwriteChoiceItems.size(); ++i)
            if (kOverwriteChoiceItems[i] == overwrite)
                options.overwritePosition = static_cast<int>(i);
        fs::remove(dir.file("Data.log"));
        restore.ExtractFromContents(options, {});
        return readTextLines(dir.file("Data.log"));
    };
    const std::string readme = run_log::padRight(dir.file("out/readme.txt"), 40);
    const std::string letter = run_log::padRight(dir.file("out/docs/letter.txt"), 40);

    std::vector<std::string> log = extract("Vždy");
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], std::string(36, '-'));
    EXPECT_EQ(log[1], "Obnova souborů :7.3.2024 v 10:00:00");
    EXPECT_EQ(log[2].rfind(readme + "        soubor přepsán, pův.datum a čas : ", 0), 0u);
    EXPECT_EQ(log[3], readme + "       přepisován zálohou");
    EXPECT_EQ(log[4], letter + "       obnoven ze zálohy");
    EXPECT_EQ(log[5], "Obnoveno souborů: 2");

    log = extract("Nikdy");
    EXPECT_EQ(log,
              (std::vector<std::string>{std::string(36, '-'), "Obnova souborů :7.3.2024 v 10:00:00",
                                        "Obnoveno souborů: 0"}));
}

TEST_F(RestoreExtractTest, NothingChosenIsReported) {
    options.choice = ExtractChoice::Mask;
    options.mask = "*.doc";
    EXPECT_EQ(restore.ExtractFromContents(options, {}), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_THAT(ui.shown[0].text, ::testing::StartsWith("Ze zálohy nebyl obnoven žádný soubor.\n"));
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");
}

// Each overwrite item against a file older and one newer than the archive's entry
// (the entries are two hours old).
struct OverwriteCase {
    const char* name;
    std::string_view item;
    bool replacesOlder, replacesNewer;
    std::optional<MsgAnswer> prompt;
};

void PrintTo(const OverwriteCase& c, std::ostream* os) {
    *os << c.name;
}

class RestoreOverwriteTest : public RestoreExtractTest,
                             public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(RestoreOverwriteTest, ExistingFilesFollowTheChoice) {
    const OverwriteCase& c = GetParam();
    const auto setAge = [this](const std::string& name, auto age) {
        fs::last_write_time(dir.write("out/" + name, "mine\n"),
                            fs::file_time_type::clock::now() - age);
    };
    setAge("readme.txt", std::chrono::hours(30));
    setAge("photo.jpg", std::chrono::minutes(1));
    for (std::size_t i = 0; i < kOverwriteChoiceItems.size(); ++i)
        if (kOverwriteChoiceItems[i] == c.item)
            options.overwritePosition = static_cast<int>(i);
    if (c.prompt) {
        ui.answerNext(*c.prompt);
        ui.answerNext(*c.prompt);
    }
    options.choice = ExtractChoice::Selected;
    restore.ExtractFromContents(options, {rowOf("readme.txt"), rowOf("photo.jpg")});
    EXPECT_EQ(read("out/readme.txt") != "mine\n", c.replacesOlder);
    EXPECT_EQ(read("out/photo.jpg") != "mine\n", c.replacesNewer);
    // The closing box counts the files kept apart from those that failed.
    const int replaced = int{c.replacesOlder} + int{c.replacesNewer};
    EXPECT_EQ(restore.LastOutcome().kept, 2 - replaced);
    EXPECT_EQ(restore.LastOutcome().failed, 0);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_THAT(ui.shown.back().text,
                ::testing::HasSubstr("Obnoveno souborů: " + std::to_string(replaced) +
                                     "\nNepodařilo se obnovit: 0\nPonecháno stávajících souborů: " +
                                     std::to_string(2 - replaced)));
}

INSTANTIATE_TEST_SUITE_P(
    EveryItem, RestoreOverwriteTest,
    ::testing::Values(OverwriteCase{"Always", "Vždy", true, true, {}},
                      OverwriteCase{"IfNewer", "Mladší", true, false, {}},
                      OverwriteCase{"IfOlder", "Starší", false, true, {}},
                      OverwriteCase{"Never", "Nikdy", false, false, {}},
                      OverwriteCase{"PromptYes", "Dotaz", true, true, MsgAnswer::Yes},
                      OverwriteCase{"PromptNo", "Dotaz", false, false, MsgAnswer::No}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace kd::test
