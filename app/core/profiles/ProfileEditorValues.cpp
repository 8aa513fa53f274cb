#include "app/core/profiles/ProfileEditorValues.h"

#include "app/core/profiles/ProfileFileRules.h"
#include "app/core/profiles/ProfilePassword.h"
#include "platform/Paths.h"

#include <algorithm>

namespace kd {
namespace {

std::int64_t clampedInteger(std::string_view text, std::int64_t max) {
    return std::clamp<std::int64_t>(parseProfileInteger(text).value_or(0), 0, max);
}

} // namespace

int splitModeToIndex(std::uint8_t mode) {
    if (mode == 1)
        return 2;
    return mode == 2 ? 1 : 0;
}

std::uint8_t splitModeFromIndex(int index) {
    if (index == 1)
        return 2;
    return index == 2 ? 1 : 0;
}

int periodKindToIndex(std::uint8_t kind) {
    switch (kind) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 3:
        return 2;
    case 4:
        return 4;
    default:
        return 3;
    }
}

std::optional<std::uint8_t> periodKindFromIndex(int index) {
    static constexpr std::uint8_t kKinds[] = {1, 2, 3, 0, 4};
    if (index < 0 || index > 4)
        return std::nullopt;
    return kKinds[index];
}

std::string periodUnitText(int periodIndex, std::string_view daysText) {
    return periodIndex == 4 ? "min." : std::string(daysText);
}

bool partSizeNeedsWarning(std::string_view text) {
    return parseProfileInteger(text).value_or(0) < kMinPartSize;
}

bool hasFileMask(std::string_view masks) {
    return masks.find_first_not_of("; ") != std::string_view::npos;
}

ProfileEditorValues editorValuesFromProfile(const TObjektZal& r) {
    ProfileEditorValues v;
    v.name = r.Name;
    v.description = r.Description;
    v.targetDir = r.TargetDir;
    v.sourceDir = r.SourceDir;
    v.masks = r.Masks;
    v.versions = std::to_string(r.VersionsKept);
    v.wipeDisk = r.WipeDisk;
    v.splitIndex = splitModeToIndex(r.SplitMode);
    v.firstPartSize = std::to_string(r.FirstPartSize);
    v.nextPartSize = std::to_string(r.NextPartSize);
    v.recurse = r.Recurse;
    v.periodIndex = periodKindToIndex(r.PeriodKind);
    v.periodValue = std::to_string(r.PeriodValue);
    v.startTime = r.StartTime;
    v.runAfterStart = r.RunAfterStart;
    v.paused = r.Paused;
    v.password = decodeStoredPassword(r.Password);
    v.excludedMasks = r.ExcludedMasks;
    v.backupKindIndex = r.BackupKind;
    v.ageDays = std::to_string(r.AgeDays);
    v.selfExtract = r.SelfExtract;
    v.archiveBitOnly = r.ArchiveBitOnly;
    v.resetArchiveBit = r.ResetArchiveBit;
    v.excludedDirs = r.ExcludedDirs;
    v.newArchive = r.NewArchive;
    v.mailTo = r.MailTo;
    v.netUser = r.NetUser;
    v.netPassword = r.NetPassword;
    return v;
}

ProfileEditorValues newProfileEditorValues(const ProfileEditorValues& shownBefore,
                                           const std::string& initDestDir,
                                           const std::string& initRootDir, TDateTime now) {
    ProfileEditorValues v;
    v.targetDir = initDestDir;
    v.sourceDir = initRootDir;
    v.masks = "*.*";
    v.recurse = true;
    v.startTime = now;
    v.archiveBitOnly = shownBefore.archiveBitOnly;
    v.resetArchiveBit = shownBefore.resetArchiveBit;
    v.excludedDirs = shownBefore.excludedDirs;
    v.newArchive = shownBefore.newArchive;
    return v;
}

void applyEditorValues(const ProfileEditorValues& v, bool passwordConfirmed, TObjektZal& r) {
    r.Name = v.name;
    r.Description = v.description;
    r.SourceDir = withTrailingSlash(v.sourceDir);
    r.TargetDir = withTrailingSlash(v.targetDir);
    r.Masks = v.masks;
    r.PeriodValue = static_cast<std::uint8_t>(clampedInteger(v.periodValue, kMaxPeriodValue));
    r.VersionsKept = static_cast<std::uint8_t>(clampedInteger(v.versions, kMaxVersionsKept));
    r.SplitMode = splitModeFromIndex(v.splitIndex);
    r.FirstPartSize = static_cast<std::int32_t>(clampedInteger(v.firstPartSize, kMaxPartSize));
    r.NextPartSize = static_cast<std::int32_t>(clampedInteger(v.nextPartSize, kMaxPartSize));
    r.WipeDisk = v.wipeDisk;
    r.Recurse = v.recurse;
    if (const auto kind = periodKindFromIndex(v.periodIndex))
        r.PeriodKind = *kind;
    r.StartTime = v.startTime;
    r.RunAfterStart = v.runAfterStart;
    r.Password = storedPasswordAfterEdit(r.Password, v.password, passwordConfirmed);
    r.Paused = v.paused;
    r.ExcludedMasks = v.excludedMasks;
    r.BackupKind = static_cast<std::uint8_t>(std::clamp(v.backupKindIndex, 0, 2));
    r.AgeDays = static_cast<std::int16_t>(clampedInteger(v.ageDays, kMaxAgeDays));
    r.SelfExtract = v.selfExtract;
    r.ArchiveBitOnly = v.archiveBitOnly;
    r.ResetArchiveBit = v.resetArchiveBit;
    r.ExcludedDirs = v.excludedDirs;
    r.NewArchive = v.newArchive;
    r.MailTo = v.mailTo;
    r.NetUser = v.netUser;
    r.NetPassword = v.netPassword;
}

} // namespace kd
