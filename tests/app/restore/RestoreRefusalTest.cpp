// Archives a restore cannot take whole (tests/tools/make_hostile_fixtures.py): the
// refusal reaches the profile's log and the box in the program's language, and every
// entry of the directory is restored or counted as failed.
#include "TestPaths.h"
#include "app/support/RestoreFixture.h"

#include <gmock/gmock.h>

namespace kd::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
namespace fs = std::filesystem;

class RestoreRefusalTest : public RestoreFixture {
protected:
    // The fixture as the profile's newest archive.
    void archiveIs(const std::string& fixture) {
        fs::copy_file(KORDYNE_TEST_DATA_DIR "/zip/hostile/" + fixture, dir.file("target/Data1.zip"),
                      fs::copy_options::overwrite_existing);
    }
    // Restores the profile with the "o" switch; the error box's text.
    std::string restoreFromCommandLine() {
        create({"O", "DATA"});
        state.FormActivate();
        EXPECT_EQ(state.ExitStatus, 1);
        EXPECT_TRUE(treeUntouched());
        return ui.shown.empty() ? std::string() : ui.shown.back().text;
    }
    bool treeUntouched() {
        return runCommand("diff -r '" + dir.file("orig") + "' '" + dir.file("src") + "'") == 0;
    }
    std::string archive() { return dir.file("target/Data1.zip"); }
};

struct Unreadable {
    const char* fixture;
    const char* language; // of the settings file
    const char* text;     // the refusal, followed by the archive's path
};

void PrintTo(const Unreadable& c, std::ostream* os) {
    *os << c.fixture << " in " << c.language;
}

class UnreadableArchiveTest : public RestoreRefusalTest,
                              public ::testing::WithParamInterface<Unreadable> {};

TEST_P(UnreadableArchiveTest, IsNamedInTheLogAndTheBoxInTheProgramsLanguage) {
    const Unreadable& c = GetParam();
    dir.write("Nastaven.txt", std::string("LANGUAGE=") + c.language + "\r\n");
    archiveIs(c.fixture);
    addProfile();
    const std::string box = restoreFromCommandLine();
    EXPECT_THAT(box, HasSubstr(c.text));
    EXPECT_THAT(box, HasSubstr(archive()));
    EXPECT_THAT(read("Data.log"), HasSubstr(c.text));
    // A restore never says that a backup is unfinished.
    EXPECT_THAT(read("Data.log"), Not(HasSubstr(TResourceStrings(c.language).GetText(11037))));
    EXPECT_FALSE(restore.LastOutcome().completed);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, UnreadableArchiveTest,
    ::testing::Values(Unreadable{"not-a-zip.zip", "CZ", "Soubor není platný archiv ZIP: "},
                      Unreadable{"not-a-zip.zip", "EN", "Not a valid zip file: "},
                      Unreadable{"zip64-entry.zip", "CZ", "Archiv ve formátu ZIP64"},
                      Unreadable{"zip64-entry.zip", "SK", "Archív vo formáte ZIP64"}));

TEST_F(RestoreRefusalTest, AesEntryIsLoggedAsAesEncryptionAndCounted) {
    archiveIs("aes-encrypted.zip");
    addProfile();
    create();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Incomplete);
    EXPECT_EQ(read("src/plain.txt"), "plain");
    const RestoreOutcome& outcome = restore.LastOutcome();
    EXPECT_TRUE(outcome.completed);
    EXPECT_EQ(outcome.restored, 1);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_THAT(read("Data.log"),
                HasSubstr(run_log::padRight("secret.txt", 40) +
                          "       nelze obnovit: šifrování AES není podporováno\r\n"));
    ASSERT_EQ(ui.shown.size(), 1u);
    // A restore that left a file out does not call itself finished.
    EXPECT_THAT(ui.shown[0].text,
                StartsWith("Obnova skončila, ale některé soubory obnovit nešlo."));
    EXPECT_THAT(ui.shown[0].text, HasSubstr("secret.txt: šifrování AES není podporováno"));
}

TEST_F(RestoreRefusalTest, EntriesRefusedForTheirMethodOrNameAreNamedInTheProgramsLanguage) {
    // An entry of compression method 14 and one named "/" beside a plain one.
    ASSERT_EQ(0, runCommand("python3 - '" + archive() + "' <<'EOF'\n" + R"py(
import struct, sys, zipfile
path = sys.argv[1]
with zipfile.ZipFile(path, "w") as z:
    z.writestr("good.txt", "good")
    z.writestr("odd.bin", "odd data")
    z.writestr("/", "")
data = bytearray(open(path, "rb").read())
for signature, method, length, name in ((b"PK\3\4", 8, 26, 30), (b"PK\1\2", 10, 28, 46)):
    at = data.find(signature)
    while at >= 0:
        size = struct.unpack_from("<H", data, at + length)[0]
        if data[at + name:at + name + size] == b"odd.bin":
            struct.pack_into("<H", data, at + method, 14)
        at = data.find(signature, at + 4)
open(path, "wb").write(data)
)py" + "EOF\n"));
    dir.write("Nastaven.txt", "LANGUAGE=SK\r\n");
    addProfile();
    create();
    EXPECT_EQ(restore.RestoreBackup(0), RunResult::Incomplete);
    ASSERT_EQ(ui.shown.size(), 1u);
    for (const std::string& report : {read("Data.log"), ui.shown[0].text}) {
        EXPECT_THAT(report, HasSubstr("odd.bin"));
        EXPECT_THAT(report, HasSubstr("Neznáma metóda kompresie 14"));
        EXPECT_THAT(report, HasSubstr("Meno neoznačuje žiadny súbor ani adresár"));
        EXPECT_THAT(report, Not(HasSubstr("Unknown")));
        EXPECT_THAT(report, Not(HasSubstr("names no")));
    }
}

TEST_F(RestoreRefusalTest, NoEntryOfAHostileArchiveVanishes) {
    for (const char* fixture : {"overlapping-quoted-headers.zip", "duplicate-local-offsets.zip",
                                "overlong-name.zip", "truncated-final-entry-cut-data.zip"}) {
        SCOPED_TRACE(fixture);
        archiveIs(fixture);
        if (state.profiles.count() == 0) {
            addProfile();
            create();
        }
        EXPECT_EQ(restore.RestoreBackup(0), RunResult::Incomplete);
        const RestoreOutcome& outcome = restore.LastOutcome();
        EXPECT_TRUE(outcome.completed);
        EXPECT_GT(outcome.failed, 0);
        EXPECT_EQ(outcome.restored + outcome.failed, engine.GetEntryCount());
    }
    const std::string log = read("Data.log");
    EXPECT_THAT(log, HasSubstr("nelze obnovit: data se překrývají s jinou položkou archivu"));
    EXPECT_THAT(log, HasSubstr("nelze obnovit: jméno je delší než 65535 bajtů"));
    EXPECT_THAT(log, HasSubstr("last.bin"));
    EXPECT_THAT(log, HasSubstr("nelze obnovit: archiv nelze dočíst"));
}

} // namespace
} // namespace kd::test
