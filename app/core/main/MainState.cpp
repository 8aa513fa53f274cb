#include "app/core/main/MainState.h"

#include "app/core/logs/LastRunStamp.h"
#include "app/core/main/MainMessages.h"
#include "app/core/profiles/ProfileTexts.h"
#include "app/core/settings/BuiltInAdverts.h"
#include "app/core/settings/SettingsFile.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"
#include "platform/Trim.h"

#include <algorithm>
#include <filesystem>

namespace kd {
namespace {

// The profile files of the directory in name order, so that start-up reads them in
// the same order every time.
std::vector<std::string> profileFileNames(const std::string& directory) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.size() > 4 && name.ends_with(".lus") && it->is_regular_file(typeError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

MainState::MainState(UiHost& ui, const Clock& clock, std::string programDirectory,
                     MainWindowView& view)
    : ui_(ui), clock_(clock), programDirectory_(std::move(programDirectory)), view_(view),
      scheduler_(
          clock_, ui_, settings, programDirectory_,
          [this](int row) { return row < profiles.count() ? &profiles.record(row) : nullptr; },
          [this](TObjektZal& profile, int row) { return runs_->RunBackup(profile, row); },
          schedulerHooks()) {}

Scheduler::Hooks MainState::schedulerHooks() {
    return {
        [this](std::chrono::milliseconds interval) { view_.setTimerInterval(interval); },
        [this] { return view_.profilePageActive() && view_.readyForWork(); },
        [this] { view_.ShowBusy(); },
        [this] { view_.ShowReady(); },
    };
}

void MainState::reportError(const std::string& text) {
    ui_.messageBox(text, ResourceStrings.GetText(profile_msg::ErrorCaption), MsgButtons::Ok,
                   MsgIcon::Error);
}

void MainState::FormCreate(const CommandLine& line) {
    commandLine = line;
    const int delay = line.DelaySwitch ? line.DelayMinutes : 3;
    scheduler_.setNextCheckTime(clock_.now() + std::chrono::minutes(delay));
    settings =
        SettingsFile::read(programDirectory_ + "/" + SettingsFile::FileName, ui_, builtInAdverts());
    LanguageCode = settings.LanguageCode;
    ResourceStrings.LoadLanguage(LanguageCode, &ui_);
}

void MainState::loadProfiles() {
    for (const std::string& fileName : profileFileNames(programDirectory_)) {
        const std::string name = fileName.substr(0, fileName.find('.'));
        // "x.lus" and "x.old.lus" both name the profile "x"; it is listed once.
        if (name.empty() || profiles.findByName(name) >= 0)
            continue;
        auto record = std::make_unique<TObjektZal>();
        try {
            LoadProfile(*record, programDirectory_, name);
        } catch (const std::exception& e) {
            reportError(e.what());
            continue;
        }
        profiles.add(std::move(record), lastRunOf(name));
    }
}

LastRun MainState::lastRunOf(const std::string& profileName) const {
    try {
        const LastRunStamp stamp = ReadLastRun(programDirectory_, profileName);
        return {stamp.Date, stamp.Time};
    } catch (const Exception&) {
        // An unreadable stamp shows as never run; the scheduler reports it.
        return {};
    }
}

void MainState::FormActivate() {
    if (Activated)
        return;
    Activated = true;
    view_.showProfilePage();
    AdminPasswordEntered = trimBlanks(settings.AdminPassword).empty();
    loadProfiles();
    if (view_.profilePageActive()) {
        view_.focusProfileList();
        ListEnter();
    }
    view_.ShowBusy();
    if (commandLine.RunSwitch)
        processSwitch(commandLine.RunProfileName, false);
    if (commandLine.RestoreSwitch)
        processSwitch(commandLine.RestoreProfileName, true);
    view_.ShowReady();
    view_.showProfilePage();
    view_.startTimers();
    if (MinimizeOnFirstActivate) {
        if (settings.AutoStartMode == 1)
            view_.minimizeApplication();
        MinimizeOnFirstActivate = false;
    }
}

void MainState::processSwitch(const std::string& name, bool restore) {
    if (runSwitch(name, restore)) {
        requestTerminate();
        return;
    }
    const int after = restore ? main_msg::NotFoundRestore : main_msg::NotFoundRun;
    ui_.messageBox(
        ResourceStrings.GetText(main_msg::NotFoundBefore) + name + ResourceStrings.GetText(after),
        ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok, MsgIcon::Warning);
    ExitStatus = 1;
    // Without a display nobody could pick another profile: end instead of waiting.
    if (!view_.interactive())
        requestTerminate();
}

bool MainState::runSwitch(const std::string& name, bool restore) {
    // The runs may reorder the list; walk the records that matched at the start.
    std::vector<const TObjektZal*> matches;
    for (int row = 0; row < profiles.count(); ++row)
        if (lowerAscii(profiles.record(row).Name) == name)
            matches.push_back(&profiles.record(row));
    for (const TObjektZal* match : matches) {
        const int row = profiles.rowOf(match);
        if (row < 0)
            continue;
        try {
            const RunResult result =
                restore ? runs_->RestoreBackup(row) : runs_->RunBackup(profiles.record(row), row);
            ExitStatus = combinedExitStatus(ExitStatus, result);
        } catch (const std::exception& e) {
            ExitStatus = 1;
            reportError(e.what());
        }
        RunDone = true;
    }
    return !matches.empty();
}

void MainState::requestTerminate() {
    TerminateRequested = true;
    view_.terminateApplication();
}

void MainState::ListEnter() {
    if (TerminateRequested)
        return;
    if (RunDone) {
        requestTerminate();
    } else if (settings.AutoStartMode == 0 && commandLine.StartedWithSystem) {
        // The pass reports its own errors.
        const Scheduler::PassReport pass = scheduler_.CheckSchedule();
        if (pass.ended || pass.succeeded < pass.started)
            ExitStatus = 1;
        else if (pass.incomplete > 0)
            ExitStatus = combinedExitStatus(ExitStatus, RunResult::Incomplete);
        requestTerminate();
    }
}

bool MainState::askPassword(const std::string& password, int wrongMessage) {
    const auto answer = ui_.passwordDialog();
    const bool granted = answer && *answer == password;
    if (!granted)
        ui_.messageBox(ResourceStrings.GetText(wrongMessage),
                       ResourceStrings.GetText(profile_msg::ErrorCaption), MsgButtons::Ok,
                       MsgIcon::Error);
    return granted;
}

bool MainState::grantProfileAccess() {
    return ProfileUnlocked || CheckProfilePassword();
}

bool MainState::CheckProfilePassword() {
    ProfileUnlocked = settings.ProfilePassword.empty() ||
                      askPassword(settings.ProfilePassword, main_msg::WrongProfilePassword);
    return ProfileUnlocked;
}

bool MainState::grantAdminAccess() {
    return AdminPasswordEntered || CheckAdminPassword();
}

bool MainState::CheckAdminPassword() {
    AdminPasswordEntered = settings.AdminPassword.empty() ||
                           askPassword(settings.AdminPassword, main_msg::WrongAdminPassword);
    return AdminPasswordEntered;
}

} // namespace kd
