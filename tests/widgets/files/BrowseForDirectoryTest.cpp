#include "support/TempDir.h"
#include "widgets/files/TBrowseFolderDlg.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace kd {
namespace {

// Answers the directory chooser from a script and records where it was opened.
class ChooserHost : public SilentUiHost {
public:
    std::optional<std::string> answer;
    std::vector<std::string> starts, captions;

    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override {
        captions.push_back(caption);
        starts.push_back(start);
        return answer;
    }
};

TEST(BrowseFolder, PreselectsOnlyAnExistingFolder) {
    test::TempDir dir;
    ChooserHost host;
    TBrowseFolderDlg dialog(host);
    dialog.setFolderName(dir.file("missing"));
    EXPECT_FALSE(dialog.RunDialog());
    dialog.setFolderName(dir.path());
    EXPECT_FALSE(dialog.RunDialog());
    ASSERT_EQ(host.starts.size(), 2u);
    EXPECT_EQ(host.starts[0], "");
    EXPECT_EQ(host.starts[1], dir.path());
    EXPECT_EQ(dialog.FolderName(), dir.path());
}

TEST(BrowseFolder, ChoiceComesBackWithoutTrailingSlashAndEventsFire) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("target"));
    ChooserHost host;
    host.answer = dir.file("target") + "/";
    TBrowseFolderDlg dialog(host);
    dialog.setDialogText("Vyberte adresář");
    int initialized = 0, changed = 0;
    dialog.OnInitialized = [&](TBrowseFolderDlg&) { ++initialized; };
    dialog.OnSelChanged = [&](TBrowseFolderDlg& d) {
        ++changed;
        EXPECT_EQ(d.SelectedName(), dir.file("target") + "/");
    };
    EXPECT_TRUE(dialog.RunDialog());
    EXPECT_EQ(dialog.FolderName(), dir.file("target"));
    EXPECT_EQ(initialized, 1);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(host.captions.at(0), "Vyberte adresář");
}

TEST(BrowseFolder, BrowseForDirectoryKeepsFolderUnlessAnExistingOneIsChosen) {
    test::TempDir dir;
    ChooserHost host;
    std::string folder = "/start";
    EXPECT_FALSE(BrowseForDirectory(host, folder, "text"));
    EXPECT_EQ(folder, "/start");

    host.answer = dir.file("vanished");
    EXPECT_FALSE(BrowseForDirectory(host, folder, "text"));
    EXPECT_EQ(folder, "/start");

    host.answer = dir.path();
    EXPECT_TRUE(BrowseForDirectory(host, folder, "text"));
    EXPECT_EQ(folder, dir.path());
}

} // namespace
} // namespace kd
