#include "app/core/schedule/Scheduler.h"

#include "app/core/logs/LastRunStamp.h"
#include "app/core/schedule/DueRules.h"
#include "lang/TResourceStrings.h"
#include "platform/Exception.h"

#include <algorithm>
#include <exception>

namespace kd {
namespace {

constexpr int kQuestionText = 11002;    // "Chcete zálohovat profil :"
constexpr int kQuestionCaption = 10017; // "Dotaz"
constexpr int kErrorCaption = 20000;

constexpr std::chrono::milliseconds kDefaultInterval{600000};
constexpr std::chrono::milliseconds kShortestInterval{1000};
constexpr std::chrono::minutes kFirstCheckDelay{3};

// Marks a pass as running for as long as it lives.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

// The window's busy state for as long as it lives; the ready state comes back however
// the pass ends.
class BusyState {
public:
    explicit BusyState(const Scheduler::Hooks& hooks) : hooks_(hooks) { show(hooks_.ShowBusy); }
    ~BusyState() {
        try {
            show(hooks_.ShowReady);
        } catch (...) {
            // Nothing sensible is left to do while unwinding.
        }
    }
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

    static void show(const std::function<void()>& state) {
        if (state)
            state();
    }

private:
    const Scheduler::Hooks& hooks_;
};

} // namespace

Scheduler::Scheduler(const Clock& clock, UiHost& ui, const ProgramSettings& settings,
                     std::string stampDir, ProfileAt profileAt, RunBackupFn runBackup, Hooks hooks,
                     MessageText messageText)
    : clock_(clock), ui_(ui), settings_(settings), stampDir_(std::move(stampDir)),
      profileAt_(std::move(profileAt)), runBackup_(std::move(runBackup)), hooks_(std::move(hooks)),
      messageText_(std::move(messageText)), nextCheckTime_(clock.now() + kFirstCheckDelay) {
    if (!messageText_)
        messageText_ = [](int id) { return ResourceStrings.GetText(id); };
}

std::chrono::milliseconds Scheduler::timerInterval(const ProgramSettings& settings) {
    if (settings.TimerInterval <= 0)
        return kDefaultInterval;
    return std::max(std::chrono::milliseconds(settings.TimerInterval), kShortestInterval);
}

Scheduler::PassReport Scheduler::Timer1Timer() {
    if (hooks_.setTimerInterval)
        hooks_.setTimerInterval(timerInterval(settings_));
    if (running_ || clock_.now() < nextCheckTime_ || (hooks_.isIdle && !hooks_.isIdle()))
        return {};
    return CheckSchedule();
}

Scheduler::PassReport Scheduler::CheckSchedule() {
    PassReport report;
    if (running_)
        return report;
    // The flag stays up while an error is shown, so that no tick starts a pass then.
    RunningFlag flag(running_);
    report.ran = true;
    try {
        BusyState busy(hooks_);
        runPass(report);
    } catch (const SilentAbort&) {
        report.ended = true;
    } catch (const std::exception& error) {
        report.ended = true;
        ui_.messageBox(error.what(), messageText_(kErrorCaption), MsgButtons::Ok, MsgIcon::Error);
    }
    return report;
}

void Scheduler::runPass(PassReport& report) {
    for (int row = 0;; ++row) {
        TObjektZal* profile = profileAt_(row);
        if (profile == nullptr)
            return;
        if (!isScheduled(*profile))
            continue;
        // A profile that has never run is left to the user.
        const auto lastRun = readLastRunIfAny(stampDir_, profile->Name);
        if (!lastRun || !isBackupDue(*profile, *lastRun, clock_.now(), settings_.KeepTime))
            continue;
        if (!confirmRun(*profile))
            continue;
        ++report.started;
        const RunResult result = runBackup_(*profile, row);
        report.succeeded += result != RunResult::Failed ? 1 : 0;
        report.incomplete += result == RunResult::Incomplete ? 1 : 0;
        // The run shows the ready state when it ends; the rest of the pass stays busy.
        BusyState::show(hooks_.ShowBusy);
    }
}

bool Scheduler::confirmRun(const TObjektZal& profile) {
    if (settings_.NoQuestions)
        return true;
    const std::string text = messageText_(kQuestionText) + profile.Name + " ?";
    return ui_.messageBox(text, messageText_(kQuestionCaption), MsgButtons::YesNo,
                          MsgIcon::Question) == MsgAnswer::Yes;
}

} // namespace kd
