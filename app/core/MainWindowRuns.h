#pragma once
#include "app/core/ObjektZal.h"
#include "app/core/ProfileList.h"
#include "platform/UiHost.h"

#include <string>

namespace kd {

// The work the main window starts: backup and restore runs, the scheduler pass and
// the last-run stamps. The runs plug in here; the main window only calls them.
class MainWindowRuns {
public:
    virtual ~MainWindowRuns() = default;
    // Backs the profile of the row up; false when the run did not complete.
    virtual bool RunBackup(TObjektZal& profile, int row) = 0;
    // Restores the newest archive of the row's profile; false when it did not complete.
    virtual bool RestoreBackup(int row) = 0;
    // One pass over the profile list, starting the backups that are due.
    virtual void CheckSchedule() = 0;
    // The profile's last-run stamp.
    virtual LastRun ReadLastRun(const std::string& profileName) = 0;
};

// Stands in until the runs exist: says so and reports failure; no profile is ever due.
class RunsNotAvailable : public MainWindowRuns {
public:
    explicit RunsNotAvailable(UiHost& ui) : ui_(ui) {}
    bool RunBackup(TObjektZal& profile, int row) override;
    bool RestoreBackup(int row) override;
    void CheckSchedule() override {}
    LastRun ReadLastRun(const std::string&) override { return {}; }

private:
    UiHost& ui_;
};

} // namespace kd
