#include "platform/RegistryStore.h"
#include "platform/AtomicFile.h"
#include "platform/Exception.h"
#include "support/TempDir.h"

#include <filesystem>
#include <sys/stat.h>
#include <gtest/gtest.h>

using namespace kd;

namespace {

const std::string runKey = RegistryStore::RunKey;

class RegistryStoreTest : public ::testing::Test {
protected:
    test::TempDir home;
    RegistryStore store{"kordyne", home.path()};

    // Every rewrite of the file gives it a new inode.
    ino_t fileInode() const {
        struct stat st {};
        return ::stat(store.filePath().c_str(), &st) == 0 ? st.st_ino : 0;
    }
};

} // namespace

TEST_F(RegistryStoreTest, ValuesMatchIgnoringLetterCaseAndSurviveANewStore) {
    EXPECT_EQ(store.readString("Software\\Kordyne", "Okno"), std::nullopt);
    store.writeString("Software\\Kordyne", "Okno", "10,20,300,400");
    store.writeString("SOFTWARE\\kordyne", "OKNO", "1,2,3,4");
    store.writeString("Software\\Kordyne", "Mail", "a=b");
    EXPECT_EQ(store.filePath(), home.file("kordyne/registry.ini"));

    const RegistryStore again("kordyne", home.path());
    EXPECT_EQ(again.readString("software\\KORDYNE", "okno"), "1,2,3,4");
    EXPECT_EQ(again.readString("Software\\Kordyne", "Mail"), "a=b");
    EXPECT_EQ(readWholeFile(store.filePath()), "[Software\\Kordyne]\nOkno=1,2,3,4\nMail=a=b\n");

    EXPECT_TRUE(store.deleteValue("software\\kordyne", "okno"));
    EXPECT_FALSE(store.deleteValue("software\\kordyne", "okno"));
    EXPECT_FALSE(store.valueExists("Software\\Kordyne", "Okno"));
    EXPECT_THROW(store.writeString("Software\\Kordyne", "x", "a\nb"), Exception);
}

TEST_F(RegistryStoreTest, ABatchIsWrittenInOrderWholeOrNotAtAll) {
    store.writeStrings({{"Okno", "Pozice", "1"}, {"OKNO", "pozice", "2"}, {"Dalsi", "x", "3"}});
    EXPECT_EQ(readWholeFile(store.filePath()), "[Okno]\nPozice=2\n[Dalsi]\nx=3\n");
    EXPECT_THROW(store.writeStrings({{"Okno", "Nove", "4"}, {"Okno", "Zlomene", "a\nb"}}),
                 Exception);
    EXPECT_FALSE(store.valueExists("Okno", "Nove"));
}

TEST_F(RegistryStoreTest, AWriteThatChangesNothingLeavesTheFileAlone) {
    store.writeStrings({{"Okno", "Left", "10"}, {"Okno", "Top", "20"}});
    const auto written = fileInode();
    store.writeStrings({{"OKNO", "left", "10"}, {"Okno", "Top", "20"}});
    EXPECT_EQ(fileInode(), written);
    store.writeStrings({{"Okno", "Left", "10"}, {"Okno", "Top", "21"}});
    EXPECT_NE(fileInode(), written);
    EXPECT_EQ(readWholeFile(store.filePath()), "[Okno]\nLeft=10\nTop=21\n");
}

TEST_F(RegistryStoreTest, RunValueIsMirroredAsAnAutostartEntry) {
    const std::string program = home.write("my apps/kordyne", "");
    store.writeString(runKey, "Kordyne", program + " 1");
    EXPECT_EQ(store.autostartPath(), home.file("autostart/kordyne.desktop"));
    const std::string entry = readWholeFile(store.autostartPath());
    EXPECT_NE(entry.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"" + program + "\" 1\n"), std::string::npos) << entry;
    EXPECT_TRUE(store.valueExists(runKey, "kordyne"));

    // The entry removed by the desktop's own settings: the program no longer starts
    // with the system, and the store says so.
    std::filesystem::remove(store.autostartPath());
    EXPECT_FALSE(store.valueExists(runKey, "Kordyne"));

    store.writeString(runKey, "Kordyne", program + " 1");
    EXPECT_TRUE(store.deleteValue(runKey, "Kordyne"));
    EXPECT_FALSE(std::filesystem::exists(store.autostartPath()));
    EXPECT_FALSE(store.valueExists(runKey, "Kordyne"));
}

TEST(RegistryStoreExec, QuotesWhatTheDesktopEntryFormatReserves) {
    EXPECT_EQ(RegistryStore::desktopExec("/usr/bin/kordyne 1"), "/usr/bin/kordyne 1");
    EXPECT_EQ(RegistryStore::desktopExec("/opt/kd$x/run 1"), "\"/opt/kd\\\\$x/run\" 1");
    EXPECT_EQ(RegistryStore::desktopExec("/opt/100%/kd"), "/opt/100%%/kd");
}
