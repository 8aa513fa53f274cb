#pragma once
#include "app/core/LogFile.h"
#include "platform/DateTime.h"
#include "zip/TZipReader.h"

#include <string>
#include <vector>

namespace kd {

// The per-profile log of a restore run, "<name>.log" beside the profiles: a header,
// with detailed information a line for each file about to be overwritten and each
// file extracted, a line for each entry that could not be extracted, and the counts.
// While it lives it takes the reader's OnStartUnZip and OnEndUnZip events (giving the
// previous handlers back at the end). A log that cannot be opened leaves the lines out.
class RestoreLog {
public:
    RestoreLog(const std::string& path, bool detailedInfo, TZipReader& reader);
    ~RestoreLog();
    RestoreLog(const RestoreLog&) = delete;
    RestoreLog& operator=(const RestoreLog&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    // A line of 36 "-", then "Obnova souborů :" with the date and time of now.
    void writeHeader(TDateTime now);
    // The entries that could not be extracted and the counts, in the language given.
    void writeOutcome(const std::string& languageCode, int extracted,
                      const std::vector<TExtractFailure>& failures);
    void writeLine(const std::string& line) { file_.writeLine(line); }

    // The line formats.
    static std::string overwrittenLine(const std::string& target, TDateTime fileTime);
    static std::string extractedLine(const std::string& target);
    static std::string notRestoredLine(const std::string& languageCode,
                                       const TExtractFailure& failure);

private:
    LogFile file_;
    bool detailedInfo_;
    TZipReader& reader_;
    TZipReader::TStartUnZipEvent previousStart_;
    TZipReader::TEndUnZipEvent previousEnd_;
};

} // namespace kd
