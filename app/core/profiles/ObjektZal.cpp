#include "app/core/profiles/ObjektZal.h"

#include "app/core/profiles/ProfileFileRules.h"
#include "app/core/profiles/ProfilePassword.h"
#include "lang/Translations.h"
#include "platform/AtomicFile.h"
#include "platform/DateText.h"
#include "platform/Exception.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace kd {
namespace {

constexpr std::size_t kPasswordLine = 14; // zero-based
constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMaxInt16 = std::numeric_limits<std::int16_t>::max();

// Lines past the end of a shorter file read as empty.
class ProfileLines {
public:
    explicit ProfileLines(const std::string& bytes)
        : lines_(splitLines(decodeTextBytes(bytes))), raw_(splitLines(bytes)),
          ours_(bytes.starts_with(Utf8Bom)) {}

    std::string_view text(std::size_t index) const { return at(lines_, index); }
    std::string_view raw(std::size_t index) const { return at(raw_, index); }
    // Written by this program (it starts with a byte order mark): UTF-8 for certain.
    bool ours() const { return ours_; }

private:
    static std::string_view at(const std::vector<std::string>& lines, std::size_t index) {
        return index < lines.size() ? std::string_view(lines[index]) : std::string_view();
    }

    std::vector<std::string> lines_;
    std::vector<std::string> raw_;
    bool ours_;
};

TObjektZal recordFromLines(const std::string& name, const ProfileLines& in) {
    TObjektZal r;
    r.Name = name;
    r.Description = in.text(0);
    r.SourceDir = withTrailingSlash(std::string(in.text(1)));
    r.TargetDir = withTrailingSlash(std::string(in.text(2)));
    r.Masks = in.text(3);
    r.PeriodValue = static_cast<std::uint8_t>(integerInRange(in.text(4), 0, 255));
    r.VersionsKept = static_cast<std::uint8_t>(integerInRange(in.text(5), 0, 255));
    r.SplitMode = splitModeFromWord(in.text(6));
    r.FirstPartSize = static_cast<std::int32_t>(integerInRange(in.text(7), 0, kMaxInt32));
    r.NextPartSize = static_cast<std::int32_t>(integerInRange(in.text(8), 0, kMaxInt32));
    r.WipeDisk = parseYesNo(in.text(9));
    r.Recurse = parseYesNo(in.text(10));
    r.PeriodKind = periodKindFromDigit(in.text(11));
    // An empty or unreadable start time means midnight.
    r.StartTime = parseTime(in.text(12)).value_or(0.0);
    r.RunAfterStart = parseYesNo(in.text(13));
    // Only a file of the original program may need its raw bytes to find the password.
    r.Password = in.ours() ? std::string(in.text(kPasswordLine))
                           : storedPasswordFromLine(in.text(kPasswordLine), in.raw(kPasswordLine));
    r.Paused = parseYesNo(in.text(15));
    r.ExcludedMasks = in.text(16);
    r.BackupKind = backupKindFromLine(in.text(17));
    r.AgeDays = static_cast<std::int16_t>(integerInRange(in.text(18), 0, kMaxInt16));
    r.SelfExtract = parseYesNo(in.text(19));
    r.ArchiveBitOnly = parseYesNo(in.text(20));
    r.ResetArchiveBit = parseYesNo(in.text(21));
    r.ExcludedDirs = in.text(22);
    r.NewArchive = parseYesNo(in.text(23));
    r.MailTo = in.text(24);
    r.NetUser = in.text(25);
    r.NetPassword = in.text(26);
    return r;
}

std::vector<std::string> linesFromRecord(const TObjektZal& r) {
    return {
        singleLine(r.Description),
        singleLine(r.SourceDir),
        singleLine(r.TargetDir),
        singleLine(r.Masks),
        std::to_string(r.PeriodValue),
        std::to_string(r.VersionsKept),
        std::string(splitModeWord(r.SplitMode)),
        std::to_string(r.FirstPartSize),
        std::to_string(r.NextPartSize),
        std::string(yesNoWord(r.WipeDisk)),
        std::string(yesNoWord(r.Recurse)),
        std::string(periodKindDigit(r.PeriodKind)),
        formatTimeExact(r.StartTime),
        std::string(yesNoWord(r.RunAfterStart)),
        singleLine(r.Password),
        std::string(yesNoWord(r.Paused)),
        singleLine(r.ExcludedMasks),
        std::to_string(r.BackupKind),
        std::to_string(r.AgeDays),
        std::string(yesNoWord(r.SelfExtract)),
        std::string(yesNoWord(r.ArchiveBitOnly)),
        std::string(yesNoWord(r.ResetArchiveBit)),
        singleLine(r.ExcludedDirs),
        std::string(yesNoWord(r.NewArchive)),
        singleLine(r.MailTo),
        singleLine(r.NetUser),
        singleLine(r.NetPassword),
    };
}

} // namespace

std::string profileFilePath(const std::string& dir, const std::string& name) {
    return withTrailingSlash(dir) + name + ".lus";
}

void LoadProfile(TObjektZal& record, const std::string& dir, const std::string& name) {
    const std::string baseName = name.substr(name.find_last_of('/') + 1);
    const std::string path = profileFilePath(dir, baseName);
    std::string bytes;
    try {
        bytes = readWholeFile(path);
    } catch (const Exception& e) {
        throw Exception("Cannot load the profile \"" + baseName + "\": " + e.what());
    }
    record = recordFromLines(baseName, ProfileLines(bytes));
}

void SaveProfile(const TObjektZal& record, const std::string& dir) {
    // The name becomes a file name beside the executable and must stay there.
    if (record.Name.empty() || record.Name.find('/') != std::string::npos)
        throw Exception("Cannot save the profile \"" + record.Name + "\": invalid name");
    try {
        // The byte order mark tells the file from one of the original program (whose
        // password line may need its raw bytes) and keeps a description starting with
        // U+FEFF from being taken for one.
        writeTextLines(profileFilePath(dir, record.Name), linesFromRecord(record), true);
    } catch (const Exception& e) {
        throw Exception("Cannot save the profile \"" + record.Name + "\": " + e.what());
    }
}

std::string PeriodKindText(const TObjektZal& record, std::string_view languageCode) {
    static constexpr Translations kKinds[] = {
        {"Ručně", "Manual", "Ručne"}, {"Den", "Day", "Deň"},           {"Týden", "Week", "Týždeň"},
        {"Měsíc", "Month", "Mesiac"}, {"Minuty", "Minutes", "Minúty"},
    };
    return kKinds[std::min<std::size_t>(record.PeriodKind, 4)].in(languageCode);
}

} // namespace kd
