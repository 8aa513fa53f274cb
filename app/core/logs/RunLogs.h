#pragma once
#include "platform/DateTime.h"
#include "platform/UniqueFd.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kd {

// One log file of a run (UTF-8, CR LF line ends). After the first line, which shows
// at once whether the log takes anything, lines are gathered and written a few
// kilobytes at a time, as text files are: a write for each line cost a run of many
// small files a tenth of its time. flush and close write out the rest; a run's end
// reaches them also when it breaks off, so only a process killed outright loses its
// last lines.
class RunLogFile {
public:
    RunLogFile() = default;
    ~RunLogFile();
    RunLogFile(RunLogFile&& other) noexcept = default;
    // Closes this one first (its lines written as close writes them).
    RunLogFile& operator=(RunLogFile&& other) noexcept;

    // Opens the file: appends when append is set and the file exists, otherwise
    // creates it anew. Throws kd::Exception when it cannot be opened.
    void open(const std::string& path, bool append);
    bool isOpen() const { return static_cast<bool>(fd_); }
    const std::string& path() const { return path_; }
    // Throws kd::Exception when the lines gathered cannot be written whole; does
    // nothing while the file is closed.
    void writeLine(std::string_view line);
    // Writes out the lines gathered; throws as writeLine.
    void flush();
    // False when the last lines could not be written or closing reported an error.
    bool close();

private:
    UniqueFd fd_;
    std::string path_;
    std::string pending_;
    bool tried_ = false; // a line was written (or tried) since the file was opened
};

// The two logs of a run: the global log "Protokol.txt" and the profile's own log.
struct RunLogs {
    RunLogFile ProtocolFile;
    RunLogFile ProfileLogFile;

    bool ProtocolOpen() const { return ProtocolFile.isOpen(); }
    bool ProfileLogOpen() const { return ProfileLogFile.isOpen(); }
    void toProtocol(std::string_view line) { ProtocolFile.writeLine(line); }
    void toProfileLog(std::string_view line) { ProfileLogFile.writeLine(line); }
    void toBoth(std::string_view line) {
        toProtocol(line);
        toProfileLog(line);
    }
    // Writes out both; throws as RunLogFile::flush.
    void flushAll() {
        ProtocolFile.flush();
        ProfileLogFile.flush();
    }
    // False when either failed to close.
    bool closeAll();
};

inline constexpr const char* kProtocolFileName = "Protokol.txt";

// The lines of the run logs, with the texts of the current language.
namespace run_log {
// "Zálohování profilu "NAME" 7.3.2024 v 10:00:00"
std::string headerLine(const std::string& profileName, TDateTime when);
// The line before the header in the profile's log: 36 "-".
std::string ruleLine();
// A stored file: name padded to 40 characters, 8 blanks, both sizes in 10 places,
// 3 blanks between them, then 2 blanks before the date and before the time.
std::string storedFileLine(std::string_view name, std::uint64_t uncompressed,
                           std::uint64_t compressed, TDateTime modified);
std::string fileNotOpenedLine(std::string_view name);
std::string incompleteLine();
// A file that extraction is about to overwrite, with its date and time.
std::string overwrittenFileLine(std::string_view name, TDateTime modified);
std::string extractedFileLine(std::string_view name);
// The same line with another verdict than "přepisován zálohou".
std::string extractedFileLine(std::string_view name, std::string_view verdict);
// "Adresář :DIR" + the text of messageAfter.
std::string directoryLine(std::string_view directory, int messageAfter);
// Pads text with blanks on the right to width characters (UTF-8 aware).
std::string padRight(std::string_view text, std::size_t width);
} // namespace run_log

} // namespace kd
