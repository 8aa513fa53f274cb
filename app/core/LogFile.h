#pragma once
#include <fstream>
#include <string>
#include <string_view>

namespace kd {

// A run log: text lines ended by CR LF, appended to an existing file or written to a
// new one. A log that cannot be opened or written is closed and the run goes on
// without it; isOpen() tells.
class LogFile {
public:
    enum class Mode { Append, Create };

    LogFile(const std::string& path, Mode mode);

    bool isOpen() const { return out_.is_open(); }
    // Writes the line and hands it to the system at once.
    void writeLine(std::string_view line);
    void close() { out_.close(); }

private:
    std::ofstream out_;
};

// The text padded with blanks to width characters (UTF-8 sequences counting as one),
// on the right ("%-40s") or on the left ("%10s"); a longer text stays whole.
std::string padRight(std::string_view text, std::size_t width);
std::string padLeft(std::string_view text, std::size_t width);

} // namespace kd
