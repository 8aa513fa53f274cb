#include "app/core/logs/LastRunStamp.h"

#include "platform/DateText.h"
#include "platform/TextFile.h"

#include <filesystem>
#include <system_error>

namespace kd {

std::string lastRunStampPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '/')
        return dir + name + ".txt";
    return dir + "/" + name + ".txt";
}

std::optional<LastRunStamp> readLastRunIfAny(const std::string& dir, const std::string& name) {
    const std::string path = lastRunStampPath(dir, name);
    // Only a stamp that is plainly not there counts as missing; any other trouble
    // surfaces from the read below.
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error)
        return std::nullopt;
    const std::vector<std::string> lines = readTextLines(path);
    LastRunStamp stamp;
    if (!lines.empty())
        stamp.Date = parseShortDate(lines[0]).value_or(0);
    if (lines.size() > 1)
        stamp.Time = parseTime(lines[1]).value_or(0);
    return stamp;
}

LastRunStamp ReadLastRun(const std::string& dir, const std::string& name) {
    return readLastRunIfAny(dir, name).value_or(LastRunStamp{});
}

void WriteLastRun(const std::string& dir, const std::string& name, TDateTime runStarted) {
    writeTextLines(lastRunStampPath(dir, name),
                   {formatShortDate(runStarted), formatTime(runStarted)});
}

} // namespace kd
