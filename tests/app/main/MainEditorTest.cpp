#include "app/core/main/ProfileDeletion.h"
#include "app/core/main/ProfileEditSession.h"
#include "app/core/profiles/ProfilePassword.h"
#include "app/support/MainFixture.h"
#include "platform/AtomicFile.h"

#include <filesystem>

using namespace kd;
using namespace kd::test;

namespace {

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::unique_ptr<TObjektZal> profile(const std::string& name, std::uint8_t versions = 0) {
    auto record = std::make_unique<TObjektZal>();
    record->Name = name;
    record->VersionsKept = versions;
    return record;
}

class MainEditorTest : public MainStateFixture {
protected:
    MainEditorTest() {
        writeProfile("Mzdy");
        create();
        state.FormActivate();
    }

    ProfileEditSession session{state};
};

} // namespace

TEST_F(MainEditorTest, NewProfileJoinsTheListOnlyWhenSaved) {
    state.settings.InitDestDir = "/mnt/zalohy";
    ProfileEditorValues values = session.NewProfileDefaults();
    EXPECT_EQ(values.targetDir, "/mnt/zalohy");
    EXPECT_EQ(state.profiles.count(), 1);
    session.Cancel();
    EXPECT_EQ(state.profiles.count(), 1);
    EXPECT_FALSE(session.active());

    values = session.NewProfileDefaults();
    values.name = "Archiv";
    values.password = "abc";
    ASSERT_TRUE(session.ConfirmPassword("abc") == false); // nothing typed in the question
    ui.inputNext("abc");
    EXPECT_TRUE(session.ConfirmPassword("abc"));
    const auto result = session.SaveProfileEditor(values);
    ASSERT_EQ(result.outcome, ProfileEditSession::SaveOutcome::Saved);
    EXPECT_EQ(result.row, 0);
    EXPECT_EQ(names(), (std::vector<std::string>{"Archiv", "Mzdy"}));
    EXPECT_EQ(decodeStoredPassword(state.profiles.record(0).Password), "abc");
    EXPECT_TRUE(exists(dir.file("Archiv.lus")));
}

TEST_F(MainEditorTest, OkWithoutConfirmingKeepsThePasswordAndAChangedOneIsAskedFor) {
    state.profiles.record(0).Password = encodeStoredPassword("stare");
    SaveProfile(state.profiles.record(0), dir.path());
    ProfileEditorValues values = session.LoadProfileEditor(0);
    EXPECT_EQ(values.password, "stare");
    values.description = "nový popis";
    EXPECT_EQ(session.SaveProfileEditor(values).outcome, ProfileEditSession::SaveOutcome::Saved);
    EXPECT_TRUE(ui.prompts.empty());
    EXPECT_EQ(decodeStoredPassword(state.profiles.record(0).Password), "stare");
    EXPECT_EQ(state.profiles.texts(0)[1], "nový popis");

    // A changed password that the question does not confirm is not saved.
    values = session.LoadProfileEditor(0);
    values.password = "nove";
    ui.inputNext("jine");
    EXPECT_EQ(session.SaveProfileEditor(values).outcome,
              ProfileEditSession::SaveOutcome::PasswordNotConfirmed);
    ui.inputNext("nove");
    EXPECT_EQ(session.SaveProfileEditor(values).outcome, ProfileEditSession::SaveOutcome::Saved);
    TObjektZal reloaded;
    LoadProfile(reloaded, dir.path(), "Mzdy");
    EXPECT_EQ(decodeStoredPassword(reloaded.Password), "nove");
}

TEST_F(MainEditorTest, NonAsciiPasswordIsRefusedWithAMessage) {
    session.LoadProfileEditor(0);
    EXPECT_FALSE(session.ConfirmPassword("heslíčko"));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, passwordRuleText("CZ"));
    EXPECT_TRUE(ui.prompts.empty());
}

TEST_F(MainEditorTest, RenameIsCheckedAndWritesTheNewFileFirst) {
    writeProfile("Sklad");
    state.profiles.add(profile("Sklad"));
    dir.write("Mzdy.txt", "7.3.2024\r\n9:00:00\r\n");
    dir.write("Mzdy.log", "log");

    ProfileEditorValues values = session.LoadProfileEditor(state.profiles.findByName("Mzdy"));
    for (const char* bad : {"", "a/b", "..", "SKLAD"}) {
        values.name = bad;
        EXPECT_EQ(session.SaveProfileEditor(values).outcome,
                  ProfileEditSession::SaveOutcome::Refused)
            << bad;
    }
    EXPECT_EQ(ui.shown.size(), 4u);
    EXPECT_TRUE(exists(dir.file("Mzdy.lus")));

    values.name = "Mzdy2024";
    const auto result = session.SaveProfileEditor(values);
    ASSERT_EQ(result.outcome, ProfileEditSession::SaveOutcome::Saved);
    EXPECT_EQ(state.profiles.record(result.row).Name, "Mzdy2024");
    EXPECT_EQ(state.profiles.count(), 2);
    EXPECT_TRUE(exists(dir.file("Mzdy2024.lus")));
    EXPECT_FALSE(exists(dir.file("Mzdy.lus")));
    EXPECT_TRUE(exists(dir.file("Mzdy.log")));
    EXPECT_EQ(ui.shown.size(), 4u);
}

TEST_F(MainEditorTest, MaskFieldWithoutAMaskIsRefusedWithAMessage) {
    ProfileEditorValues values = session.LoadProfileEditor(0);
    const std::string saved = readWholeFile(dir.file("Mzdy.lus"));
    for (const char* none : {"", ";", " ; ;"}) {
        values.masks = none;
        EXPECT_EQ(session.SaveProfileEditor(values).outcome,
                  ProfileEditSession::SaveOutcome::Refused)
            << none;
    }
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].text, "Filtr souborů je prázdný: zadejte alespoň jednu masku souborů "
                                "(například *.*), jinak by záloha nic neuložila.");
    EXPECT_EQ(ui.shown[0].caption, "Upozornění");
    EXPECT_EQ(readWholeFile(dir.file("Mzdy.lus")), saved);
    EXPECT_EQ(state.profiles.record(0).Masks, "*.*");

    values.masks = ";*.doc";
    EXPECT_EQ(session.SaveProfileEditor(values).outcome, ProfileEditSession::SaveOutcome::Saved);
    EXPECT_EQ(state.profiles.record(0).Masks, ";*.doc");
}

TEST_F(MainEditorTest, DeleteAnsweredNoKeepsEverythingAndYesRemovesFileStampAndRow) {
    dir.write("Mzdy.txt", "stamp");
    dir.write("Mzdy.log", "log");
    ui.answerNext(MsgAnswer::No);
    EXPECT_FALSE(DeleteProfile(state, 0));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Opravdu chcete smazat nastavení \"Mzdy\"");
    EXPECT_EQ(ui.shown[0].caption, "Dotaz");
    EXPECT_EQ(state.profiles.count(), 1);
    EXPECT_TRUE(exists(dir.file("Mzdy.lus")));
    EXPECT_TRUE(exists(dir.file("Mzdy.txt")));

    ui.answerNext(MsgAnswer::Yes);
    EXPECT_TRUE(DeleteProfile(state, 0));
    EXPECT_EQ(state.profiles.count(), 0);
    EXPECT_FALSE(exists(dir.file("Mzdy.lus")));
    EXPECT_FALSE(exists(dir.file("Mzdy.txt")));
    EXPECT_TRUE(exists(dir.file("Mzdy.log")));
}

TEST_F(MainEditorTest, DeletingAProfileWhoseFileIsGoneSaysSoAndKeepsTheRow) {
    std::filesystem::remove(dir.file("Mzdy.lus"));
    EXPECT_FALSE(DeleteProfile(state, 0));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Nastavení \"Mzdy\" již neexistuje, nelze smazat");
    EXPECT_EQ(state.profiles.count(), 1);
}

TEST_F(MainEditorTest, ListSortsByTextIgnoringLetterCase) {
    const auto add = [&](const char* name, std::uint8_t versions) {
        state.profiles.add(profile(name, versions));
    };
    add("beta", 9);
    add("Alfa", 10);
    add("gama", 2);
    EXPECT_EQ(names(), (std::vector<std::string>{"Alfa", "beta", "gama", "Mzdy"}));
    state.profiles.sortBy(5); // "Počet indexů": as text, so "10" before "2" before "9"
    EXPECT_EQ(names(), (std::vector<std::string>{"Mzdy", "Alfa", "gama", "beta"}));
    add("delta", 1); // a new row goes to its place in the current order
    EXPECT_EQ(names()[1], "delta");
}
