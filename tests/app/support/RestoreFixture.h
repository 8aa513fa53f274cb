#pragma once
#include "app/core/main/AppRuns.h"
#include "app/core/profiles/ProfilePassword.h"
#include "app/support/MainFixture.h"
#include "platform/ArchiveAttributeFake.h"
#include "platform/FakeVolumeService.h"
#include "zip/writer/TZipWriter.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kd::test {

// A profile "Data" whose source tree src/ is backed up into target/Data1.zip (by
// Info-ZIP zip or our writer), over a main window's state with its runs plugged in.
class RestoreFixture : public MainStateFixture {
protected:
    RestoreFixture() {
        dir.write("src/readme.txt", "read me\n");
        dir.write("src/docs/letter.txt", std::string(4000, 'l'));
        dir.write("src/docs/deep/table.csv", "1;2\n3;4\n");
        dir.write("src/photo.jpg", std::string("\xff\xd8\xff\xe0 not really", 16));
        std::filesystem::create_directories(dir.file("target"));
        // Entries dated two hours back, so that a file changed now is newer.
        EXPECT_EQ(0, runCommand("cd '" + dir.file("src") +
                                "' && find . -exec touch -d '-2 hours' {} + && cp -a . ../orig"));
        state.setRuns(runs_);
    }

    // Zips src/ into target/<archive>; extra are further zip options ("-P pw").
    void backUp(const std::string& extra = "", const std::string& archive = "Data1.zip") {
        ASSERT_EQ(0, runCommand("cd '" + dir.file("src") + "' && zip -qr " + extra + " ../target/" +
                                archive + " ."));
    }
    // Zips src/ into target/Data1.zip with our writer, with paths relative to src/ or
    // (fullPath) the whole path.
    void backUpWithWriter(bool fullPath, const std::string& password = "") {
        TZipWriter writer(ui, volumes, attributes);
        writer.SetZipName(dir.file("target/Data1.zip"));
        writer.SetRootDir(dir.file("src"));
        writer.SetRecurse(true);
        writer.SetAddDirEntriesOnRecurse(true);
        if (fullPath)
            writer.SetStoreVolumes(true);
        else
            writer.SetRelativePaths(true);
        writer.SetPassword(password);
        writer.SetFilesList({"*"});
        EXPECT_EQ(writer.AddFilesToArchive(), 6); // four files, two directories
    }
    // Saves the profile and loads it into the list.
    void addProfile(const std::string& password = "", std::uint8_t versions = 1) {
        TObjektZal record;
        record.Masks = "*";
        record.Recurse = true;
        record.Name = "Data";
        record.SourceDir = dir.file("src") + "/";
        record.TargetDir = dir.file("target") + "/";
        record.VersionsKept = versions;
        record.Password = password.empty() ? "" : encodeStoredPassword(password);
        SaveProfile(record, dir.path());
        state.loadProfiles();
    }
    // Changes the tree: an edited file, a new one, a deleted file and directory.
    void changeTree() {
        dir.write("src/readme.txt", "edited after the backup\n");
        dir.write("src/new.txt", "new\n");
        std::filesystem::remove(dir.file("src/photo.jpg"));
        std::filesystem::remove_all(dir.file("src/docs/deep"));
    }
    // True when src/ holds the original files again (new files aside).
    bool treeRestored() {
        std::filesystem::remove(dir.file("src/new.txt"));
        return runCommand("diff -r '" + dir.file("orig") + "' '" + dir.file("src") + "'") == 0;
    }
    std::string read(const std::string& name) {
        std::ifstream in(dir.file(name), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    FakeVolumeService volumes;
    AutomountNetworkTarget network;
    ArchiveAttributeFake attributes;
    AppRuns runs_{state, RunPlatform{volumes, network, attributes}};
    TZipWriter& engine = runs_.ZipEngine();
    RestoreRun& restore = runs_.restore();
};

} // namespace kd::test
