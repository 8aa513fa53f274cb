#include "app/core/profiles/ProfileEditorValues.h"
#include "app/core/profiles/ProfilePassword.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(ProfileEditor, ComboPositionsMapBothWays) {
    for (std::uint8_t mode : {0, 1, 2})
        EXPECT_EQ(splitModeFromIndex(splitModeToIndex(mode)), mode);
    EXPECT_EQ(kSplitComboItems[static_cast<std::size_t>(splitModeToIndex(1))],
              "dělit dle nastavení");
    EXPECT_EQ(splitModeToIndex(9), 0);

    for (std::uint8_t kind : {0, 1, 2, 3, 4})
        EXPECT_EQ(periodKindFromIndex(periodKindToIndex(kind)), kind);
    EXPECT_EQ(periodKindToIndex(0), 3); // "Ručně"
    EXPECT_EQ(kPeriodComboItems[static_cast<std::size_t>(periodKindToIndex(4))], "Počet minut");
    EXPECT_EQ(periodKindFromIndex(-1), std::nullopt);

    EXPECT_EQ(periodUnitText(4, "dnech"), "min.");
    for (int index : {0, 1, 2, 3})
        EXPECT_EQ(periodUnitText(index, "dnech"), "dnech");
}

TEST(ProfileEditor, PartSizeWarningBelow100000) {
    EXPECT_TRUE(partSizeNeedsWarning("99999"));
    EXPECT_TRUE(partSizeNeedsWarning("0"));
    EXPECT_TRUE(partSizeNeedsWarning(""));
    EXPECT_FALSE(partSizeNeedsWarning("100000"));
}

TEST(ProfileEditor, ProfileThroughTheEditorAndBackIsUnchanged) {
    TObjektZal r;
    r.Name = "Dokumenty";
    r.Description = "popis";
    r.TargetDir = "/mnt/b/";
    r.SourceDir = "/home/a/";
    r.Masks = "*.odt";
    r.PeriodValue = 3;
    r.VersionsKept = 9;
    r.BackupKind = 1;
    r.PeriodKind = 2;
    r.FirstPartSize = 700000;
    r.NextPartSize = 1400000;
    r.AgeDays = 30;
    r.Recurse = r.Paused = r.SelfExtract = r.ResetArchiveBit = true;
    r.SplitMode = 1;
    r.StartTime = 0.25;
    r.Password = encodeStoredPassword("pw");
    r.ExcludedDirs = "/home/a/tmp";
    r.MailTo = "a@b.cz";
    r.NetUser = "u";
    r.NetPassword = "p";

    const ProfileEditorValues shown = editorValuesFromProfile(r);
    EXPECT_EQ(shown.password, "pw");
    EXPECT_EQ(shown.splitIndex, 2);
    EXPECT_EQ(shown.periodIndex, 1);
    EXPECT_EQ(shown.versions, "9");

    TObjektZal back;
    back.Password = r.Password;
    applyEditorValues(shown, false, back);
    EXPECT_EQ(back, r);
}

TEST(ProfileEditor, NumbersAreClampedToTheirFieldsAndDirectoriesGetTheirSlash) {
    ProfileEditorValues v;
    v.versions = "300"; // the field holds 0-255
    v.periodValue = "x";
    v.firstPartSize = "-5";
    v.nextPartSize = "99999999999";
    v.ageDays = "40000";
    v.sourceDir = "/data";
    v.targetDir = "";
    v.periodIndex = -1;
    v.backupKindIndex = -1;
    TObjektZal r;
    r.PeriodKind = 4;
    applyEditorValues(v, false, r);
    EXPECT_EQ(r.VersionsKept, 255);
    EXPECT_EQ(r.PeriodValue, 0);
    EXPECT_EQ(r.FirstPartSize, 0);
    EXPECT_EQ(r.NextPartSize, kMaxPartSize);
    EXPECT_EQ(r.AgeDays, kMaxAgeDays);
    EXPECT_EQ(r.SourceDir, "/data/");
    EXPECT_EQ(r.TargetDir, "");
    EXPECT_EQ(r.PeriodKind, 4); // no selection keeps the kind
    EXPECT_EQ(r.BackupKind, 0);
}

TEST(ProfileEditor, NewProfileDefaults) {
    ProfileEditorValues before;
    before.name = "previous";
    before.archiveBitOnly = before.resetArchiveBit = before.newArchive = true;
    before.excludedDirs = "/tmp";
    before.password = "secret";
    const ProfileEditorValues v = newProfileEditorValues(before, "/dest", "/root", 45000.5);
    EXPECT_EQ(v.name, "");
    EXPECT_EQ(v.targetDir, "/dest");
    EXPECT_EQ(v.sourceDir, "/root");
    EXPECT_EQ(v.masks, "*.*");
    EXPECT_TRUE(v.recurse);
    EXPECT_EQ(v.password, "");
    // These controls keep what the editor showed before.
    EXPECT_TRUE(v.archiveBitOnly && v.resetArchiveBit && v.newArchive);
    EXPECT_EQ(v.excludedDirs, "/tmp");
}
