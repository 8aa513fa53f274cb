#pragma once
#include "app/core/profiles/ObjektZal.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kd {

// What the profile editor shows, control by control, and how it maps to a profile.
// Number edits hold text as typed; combo positions are -1 when nothing is selected.
struct ProfileEditorValues {
    std::string name;             // EditOznac
    std::string description;      // EditPopis
    std::string targetDir;        // EditCilZal
    std::string sourceDir;        // EditStartZal
    std::string masks;            // EditFiltr
    std::string versions;         // EditPocInd
    bool wipeDisk = false;        // ChBMazatDisk
    int splitIndex = 0;           // ComboBoxDElitArchiv
    std::string firstPartSize;    // EditVelPrvDisk
    std::string nextPartSize;     // EditVelDalDisk
    bool recurse = false;         // ChBRecurse
    int periodIndex = 0;          // ComboBoxDruhObdobi
    std::string periodValue;      // EditObdobiAutZal
    TDateTime startTime = 0;      // DateTimePickerStart (time of day)
    bool runAfterStart = false;   // ChBPoStartu
    bool paused = false;          // ChBPozastavit
    std::string password;         // EditHeslo, plain text
    std::string excludedMasks;    // EditNeuklSoub
    int backupKindIndex = 0;      // ChBPokrSoub
    std::string ageDays;          // EditDnuZal
    bool selfExtract = false;     // ChBSamoRozb
    bool archiveBitOnly = false;  // chb_ArchivniBit
    bool resetArchiveBit = false; // chb_ResetArcivBit
    std::string excludedDirs;     // edt_NeklAdresar
    bool newArchive = false;      // chb_ZalozitNovy
    std::string mailTo;           // edt_Mail
    std::string netUser;          // edt_UserName
    std::string netPassword;      // edt_Pass

    bool operator==(const ProfileEditorValues&) const = default;
};

// The combo boxes' items, in order.
inline constexpr std::array<std::string_view, 3> kSplitComboItems = {
    "nedělit", "dělit dle vel.disku", "dělit dle nastavení"};
inline constexpr std::array<std::string_view, 5> kPeriodComboItems = {
    "Počet dní", "Den v týdnu", "Den v měsíci", "Ručně", "Počet minut"};
inline constexpr std::array<std::string_view, 3> kBackupKindComboItems = {"Plná", "Dnů stáří",
                                                                          "Inkrementání"};

// Ranges of the number fields; the editor's inputs should not allow more.
inline constexpr int kMaxVersionsKept = 255;
inline constexpr int kMaxPeriodValue = 255;
inline constexpr int kMaxAgeDays = 32767;
inline constexpr std::int32_t kMaxPartSize = 2147483647;
// Part sizes below this get a warning (message profile_msg::PartSizeTooSmall).
inline constexpr std::int64_t kMinPartSize = 100000;

int splitModeToIndex(std::uint8_t mode);
std::uint8_t splitModeFromIndex(int index);
int periodKindToIndex(std::uint8_t kind);
// nullopt when no position is selected (the kind then stays as it was).
std::optional<std::uint8_t> periodKindFromIndex(int index);

// The period unit label: daysText (message profile_msg::DaysUnit) for positions 0-3,
// "min." for the minutes.
std::string periodUnitText(int periodIndex, std::string_view daysText);

// True when a part-size edit's text warrants the "at least 100 kB" warning.
bool partSizeNeedsWarning(std::string_view text);

// True when the masks edit names at least one mask: a ";"-separated piece with more
// than blanks. Without one a run would store nothing, so the editor refuses it.
bool hasFileMask(std::string_view masks);

ProfileEditorValues editorValuesFromProfile(const TObjektZal& record);

// A new profile's editor. The archive-attribute boxes, the excluded directories and the
// new-archive box keep what the editor showed before (shownBefore).
ProfileEditorValues newProfileEditorValues(const ProfileEditorValues& shownBefore,
                                           const std::string& initDestDir,
                                           const std::string& initRootDir, TDateTime now);

// Copies the editor into the record. Numbers out of their field's range are clamped to
// it, unreadable ones give 0; the password is replaced only when it was confirmed
// (kd::Exception when that password fails isValidPasswordText).
void applyEditorValues(const ProfileEditorValues& values, bool passwordConfirmed,
                       TObjektZal& record);

} // namespace kd
