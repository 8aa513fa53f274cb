#pragma once
#include "GuiApplication.h"
#include "app/gui/ProfileEditorPage.h"
#include "app/gui/ProfileListPage.h"
#include "app/gui/TFormZalohovani.h"
#include "app/support/MainDueProfile.h"
#include "lang/TResourceStrings.h"
#include "support/FakeClock.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"
#include "widgets/tray/TrayArea.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QTreeView>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace kd::test {

// Counts the runs the window starts.
class CountingRuns : public MainWindowRuns {
public:
    RunResult RunBackup(TObjektZal& profile, int) override {
        backups.push_back(profile.Name);
        return RunResult::Complete;
    }
    RunResult RestoreBackup(int) override { return RunResult::Complete; }

    std::vector<std::string> backups;
};

// The scripted host, also noting where each directory or file dialog starts and the
// file dialogs' filters.
class WindowUiHost : public ScriptedUiHost {
public:
    std::optional<std::string> chooseDirectory(const std::string& caption,
                                               const std::string& start) override {
        chooseStarts.push_back(start);
        chooseCaptions.push_back(caption);
        return ScriptedUiHost::chooseDirectory(caption, start);
    }
    std::optional<std::string> chooseFile(const std::string& caption, const std::string& start,
                                          const std::string& filter) override {
        // The start is noted by chooseDirectory, through which the scripted host answers.
        fileFilters.push_back(filter);
        return ScriptedUiHost::chooseFile(caption, start, filter);
    }
    std::vector<std::string> chooseStarts;
    std::vector<std::string> chooseCaptions;
    std::vector<std::string> fileFilters;
};

// A main window over a temporary program directory and registry store.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture() {
        ensureApplication();
        dir.write("Nastaven.txt", "");
        clock.setLocal(encodeDateTime({2024, 3, 7, 10, 0, 0, 0}));
    }
    ~MainWindowFixture() override {
        window.reset();
        LanguageCode = "CZ";
        ResourceStrings.LoadLanguage("CZ");
    }

    void writeProfile(const std::string& name, std::uint8_t versions = 0, bool paused = false) {
        TObjektZal record;
        record.Name = name;
        record.VersionsKept = versions;
        record.Paused = paused;
        SaveProfile(record, dir.path());
    }
    void writeDueProfile(const std::string& name) {
        test::writeDueProfile(dir.path(), name, clock.nowLocal());
    }
    // Creates the window, shows it and lets the queued first activation run.
    TFormZalohovani& open(std::vector<std::string> arguments = {}) {
        MainWindowSetup setup;
        setup.programDirectory = dir.path();
        setup.executablePath = dir.file("kordyne");
        setup.programPath = setup.executablePath;
        setup.arguments = std::move(arguments);
        setup.clock = &clock;
        setup.configHome = config.path();
        setup.trayArea = trayArea;
        setup.onDisplay = onDisplay;
        window = std::make_unique<TFormZalohovani>(host ? *host : ui, setup);
        if (countRuns)
            window->setRuns(runs);
        window->show();
        QCoreApplication::processEvents();
        return *window;
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    template <class T> T* widget(const char* name) { return window->findChild<T*>(name); }
    QAbstractItemModel& listModel() {
        return *window->findChild<QTreeView*>("ListSeznamZal")->model();
    }
    std::string cell(int row, int column) {
        return listModel().index(row, column).data().toString().toStdString();
    }
    std::vector<std::string> names() {
        std::vector<std::string> result;
        for (int row = 0; row < listModel().rowCount(); ++row)
            result.push_back(cell(row, 0));
        return result;
    }

    TempDir dir;
    TempDir config;
    WindowUiHost ui;
    UiHost* host = nullptr; // the window's host in place of ui
    FakeClock clock;
    CountingRuns runs;
    bool countRuns = true; // false: the window's own runs back up and restore
    std::function<std::unique_ptr<TrayArea>()> trayArea; // the desktop's when empty
    std::function<bool()> onDisplay; // whether the window is seen: not when empty (off screen)
    std::unique_ptr<TFormZalohovani> window;
};

} // namespace kd::test
