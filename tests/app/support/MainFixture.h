#pragma once
#include "app/core/main/MainState.h"
#include "app/support/MainDueProfile.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"
#include "support/FakeClock.h"
#include "support/ScriptedUiHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace kd::test {

// Records what the logic asks of the window.
class RecordingView : public MainWindowView {
public:
    void showProfilePage() override { calls.push_back("page"); }
    bool profilePageActive() const override { return pageActive; }
    void focusProfileList() override { calls.push_back("focus"); }
    void ShowBusy() override {
        calls.push_back("busy");
        ready = false;
    }
    void ShowReady() override {
        calls.push_back("ready");
        ready = true;
    }
    bool readyForWork() const override { return ready; }
    void startTimers() override { calls.push_back("timers"); }
    void setTimerInterval(std::chrono::milliseconds ms) override { interval = ms; }
    void minimizeApplication() override { calls.push_back("minimize"); }
    void terminateApplication() override { calls.push_back("terminate"); }
    void showStatusText(const std::string& text) override { status.push_back(text); }

    bool pageActive = true;
    bool ready = true;
    std::chrono::milliseconds interval{0};
    std::vector<std::string> calls;
    std::vector<std::string> status; // the texts of the status bar's first panel
};

// Records the runs asked for; a run of the profile named in failingProfile throws,
// the others end with the result given for their profile (Complete when none is).
class RecordingRuns : public MainWindowRuns {
public:
    RunResult RunBackup(TObjektZal& profile, int) override {
        backups.push_back(profile.Name);
        if (profile.Name == failingProfile)
            throw Exception("disk full");
        const auto given = results.find(profile.Name);
        return given == results.end() ? RunResult::Complete : given->second;
    }
    RunResult RestoreBackup(int row) override {
        restores.push_back(row);
        return restoreResult;
    }

    std::vector<std::string> backups;
    std::vector<int> restores;
    std::string failingProfile;
    std::map<std::string, RunResult> results;
    RunResult restoreResult = RunResult::Complete;
};

// A main window's state over a temporary program directory with a fixed clock.
class MainStateFixture : public ::testing::Test {
protected:
    MainStateFixture() {
        clock.setLocal(encodeDateTime({2024, 3, 7, 10, 0, 0, 0}));
        dir.write("Nastaven.txt", "");
        state.setRuns(runs);
    }
    ~MainStateFixture() override {
        LanguageCode = "CZ";
        ResourceStrings.LoadLanguage("CZ");
    }

    void writeProfile(const std::string& name, bool paused = false) {
        TObjektZal record;
        record.Name = name;
        record.Description = "popis " + name;
        record.Masks = "*.*";
        record.Paused = paused;
        SaveProfile(record, dir.path());
    }
    void writeDueProfile(const std::string& name) {
        test::writeDueProfile(dir.path(), name, clock.nowLocal());
    }
    void create(const std::vector<std::string>& arguments = {}) {
        state.FormCreate(CommandLine::parse("/opt/kordyne", arguments));
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (int row = 0; row < state.profiles.count(); ++row)
            result.push_back(state.profiles.record(row).Name);
        return result;
    }

    TempDir dir;
    ScriptedUiHost ui;
    FakeClock clock;
    RecordingView view;
    RecordingRuns runs;
    MainState state{ui, clock, dir.path(), view};
};

} // namespace kd::test
