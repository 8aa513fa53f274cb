#include "app/core/MainState.h"

#include "app/core/MainMessages.h"
#include "app/core/ProfileTexts.h"
#include "app/core/SettingsFile.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"
#include "platform/Trim.h"

#include <algorithm>
#include <filesystem>

namespace kd {
namespace {

constexpr double kMinutesPerDay = 24.0 * 60.0;

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

MainState::MainState(UiHost& ui, const Clock& clock, std::string programDirectory)
    : ui_(ui), clock_(clock), programDirectory_(std::move(programDirectory)) {}

void MainState::reportError(const std::string& text) {
    ui_.messageBox(text, ResourceStrings.GetText(profile_msg::ErrorCaption), MsgButtons::Ok,
                   MsgIcon::Error);
}

void MainState::FormCreate(const CommandLine& line) {
    commandLine = line;
    const int delay = line.DelaySwitch ? line.DelayMinutes : 3;
    NextCheckTime = clock_.nowLocal() + delay / kMinutesPerDay;
    settings = SettingsFile::read(programDirectory_ + "/" + SettingsFile::FileName, ui_);
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
        profiles.add(std::move(record), runs_->ReadLastRun(name));
    }
}

void MainState::FormActivate(MainWindowView& view) {
    if (Activated)
        return;
    Activated = true;
    view.showProfilePage();
    AdminPasswordEntered = trimBlanks(settings.AdminPassword).empty();
    loadProfiles();
    if (view.profilePageActive()) {
        view.focusProfileList();
        ListEnter(view);
    }
    view.ShowBusy();
    if (commandLine.RunSwitch)
        processSwitch(view, commandLine.RunProfileName, false);
    if (commandLine.RestoreSwitch)
        processSwitch(view, commandLine.RestoreProfileName, true);
    view.ShowReady();
    view.showProfilePage();
    view.startTimers();
    if (MinimizeOnFirstActivate) {
        if (settings.AutoStartMode == 1)
            view.minimizeApplication();
        MinimizeOnFirstActivate = false;
    }
}

void MainState::processSwitch(MainWindowView& view, const std::string& name, bool restore) {
    if (runSwitch(name, restore)) {
        requestTerminate(view);
        return;
    }
    const int after = restore ? main_msg::NotFoundRestore : main_msg::NotFoundRun;
    ui_.messageBox(
        ResourceStrings.GetText(main_msg::NotFoundBefore) + name + ResourceStrings.GetText(after),
        ResourceStrings.GetText(profile_msg::WarningCaption), MsgButtons::Ok, MsgIcon::Warning);
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
            if (restore)
                runs_->RestoreBackup(row);
            else
                runs_->RunBackup(profiles.record(row), row);
        } catch (const std::exception& e) {
            reportError(e.what());
        }
        RunDone = true;
    }
    return !matches.empty();
}

void MainState::requestTerminate(MainWindowView& view) {
    TerminateRequested = true;
    view.terminateApplication();
}

void MainState::ListEnter(MainWindowView& view) {
    if (TerminateRequested)
        return;
    if (RunDone) {
        requestTerminate(view);
    } else if (settings.AutoStartMode == 0 && commandLine.StartedWithSystem) {
        try {
            runs_->CheckSchedule();
        } catch (const std::exception& e) {
            reportError(e.what());
        }
        requestTerminate(view);
    }
}

void MainState::Timer1Timer(MainWindowView& view) {
    if (!view.profilePageActive() || !view.readyForWork() || clock_.nowLocal() < NextCheckTime)
        return;
    view.ShowBusy();
    try {
        runs_->CheckSchedule();
    } catch (const std::exception& e) {
        reportError(e.what());
    }
    view.ShowReady();
}

bool MainState::grantProfileAccess() {
    return ProfileUnlocked || CheckProfilePassword();
}

bool MainState::CheckProfilePassword() {
    if (settings.ProfilePassword.empty()) {
        ProfileUnlocked = true;
        return true;
    }
    const auto answer = ui_.inputBox("Password Dialog", "Zadejte heslo :", "", true);
    if (answer)
        ProfileUnlocked = *answer == settings.ProfilePassword;
    const bool granted = answer && ProfileUnlocked;
    if (!granted)
        ui_.messageBox(ResourceStrings.GetText(main_msg::WrongProfilePassword),
                       ResourceStrings.GetText(profile_msg::ErrorCaption), MsgButtons::Ok,
                       MsgIcon::Error);
    return granted;
}

} // namespace kd
