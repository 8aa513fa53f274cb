#pragma once
#include "app/core/logs/LastRunStamp.h"
#include "app/core/profiles/ObjektZal.h"

#include <string>

namespace kd::test {

// Writes a daily profile from 0:00 that last ran two days before now: due at every
// scheduler pass.
inline void writeDueProfile(const std::string& dir, const std::string& name, TDateTime now) {
    TObjektZal record;
    record.Name = name;
    record.PeriodKind = 1;
    record.PeriodValue = 1;
    SaveProfile(record, dir);
    WriteLastRun(dir, name, now - 2);
}

} // namespace kd::test
