#include "app/core/runs/LeftOutTexts.h"

#include "app/core/logs/RunLogs.h"
#include "lang/EngineMessages.h"
#include "lang/Translations.h"

#include <array>

namespace kd::left_out {
namespace {

// Texts with the name in between: before the name, after it.
enum Text : std::size_t {
    DirectoryBefore,
    DirectoryAfter,
    ChangedBefore,
    ChangedAfter,
    SpecialBefore,
    SpecialAfter,
    TooLongBefore,
    TooLongAfter,
    Count,
    EmptyRun,
    NoMasks,
    OwnArchive,
    SameName,
    NewFile,
    TextCount
};

constexpr std::array<Translations, TextCount> kTexts = {{
    {"Adresář \"", "Directory \"", "Adresár \""},
    {"\" nelze přečíst, jeho obsah nebude zálohován",
     "\" cannot be read, its contents will not be backed up",
     "\" nemožno prečítať, jeho obsah nebude zálohovaný"},
    {"Soubor \"", "File \"", "Súbor \""},
    {"\" se během čtení stále měnil, nebude zálohován",
     "\" kept changing while it was read, it will not be backed up",
     "\" sa počas čítania stále menil, nebude zálohovaný"},
    {"Soubor \"", "File \"", "Súbor \""},
    {"\" není obyčejný soubor (roura, soket nebo zařízení), nebude zálohován",
     "\" is not a regular file (a pipe, socket or device), it will not be backed up",
     "\" nie je obyčajný súbor (rúra, soket alebo zariadenie), nebude zálohovaný"},
    {"Cesta \"", "Path \"", "Cesta \""},
    {"\" je pro systém příliš dlouhá, nebude zálohována",
     "\" is too long for the system, it will not be backed up",
     "\" je pre systém príliš dlhá, nebude zálohovaná"},
    {"Vynecháno souborů a adresářů (jsou uvedeny v protokolu): ",
     "Files and directories left out (listed in the log): ",
     "Vynechaných súborov a adresárov (sú uvedené v protokole): "},
    {"Ve zdroji nebylo nic k zálohování; dosavadní zálohy zůstávají beze změny.",
     "The source held nothing to back up; the existing backups are kept unchanged.",
     "V zdroji nebolo nič na zálohovanie; doterajšie zálohy zostávajú bez zmeny."},
    {"Profil nemá žádnou masku souborů, nebylo co zálohovat; dosavadní zálohy zůstávají beze "
     "změny.",
     "The profile has no file mask, there was nothing to back up; the existing backups are kept "
     "unchanged.",
     "Profil nemá žiadnu masku súborov, nebolo čo zálohovať; doterajšie zálohy zostávajú bez "
     "zmeny."},
    {"archiv zálohy profilu se nepřepisuje", "the profile's own backup archive is not overwritten",
     "archív zálohy profilu sa neprepisuje"},
    {"soubor stejného jména už tato obnova zapsala, nepřepisuje se",
     "this restore has already written a file of the same name, it is not overwritten",
     "súbor s rovnakým menom už táto obnova zapísala, neprepisuje sa"},
    {"obnoven ze zálohy", "restored from the backup", "obnovený zo zálohy"},
}};

std::string text(std::string_view languageCode, Text id) {
    return kTexts[id].in(languageCode);
}

std::string around(std::string_view languageCode, Text before, const std::string& name) {
    return text(languageCode, before) + name + text(languageCode, static_cast<Text>(before + 1));
}

} // namespace

bool isLeftOut(TSkipReason reason) {
    switch (reason) {
    case TSkipReason::srOpenFailed:
    case TSkipReason::srUnreadableDir:
    case TSkipReason::srFileChanged:
    case TSkipReason::srSpecialFile:
    case TSkipReason::srPathTooLong:
        return true;
    default:
        return false;
    }
}

std::string line(std::string_view languageCode, TSkipReason reason, const std::string& name,
                 const std::string& detail) {
    std::string result;
    switch (reason) {
    case TSkipReason::srUnreadableDir:
        result = around(languageCode, DirectoryBefore, name);
        break;
    case TSkipReason::srFileChanged:
        result = around(languageCode, ChangedBefore, name);
        break;
    case TSkipReason::srSpecialFile:
        result = around(languageCode, SpecialBefore, name);
        break;
    case TSkipReason::srPathTooLong:
        return around(languageCode, TooLongBefore, name); // the reason says it all
    default:
        result = run_log::fileNotOpenedLine(name);
        break;
    }
    return detail.empty() ? result : result + " (" + EngineMessageText(detail) + ")";
}

std::string countLine(std::string_view languageCode, std::uint64_t count) {
    return text(languageCode, Count) + std::to_string(count);
}

std::string emptyRunLine(std::string_view languageCode) {
    return text(languageCode, EmptyRun);
}

std::string noMasksLine(std::string_view languageCode) {
    return text(languageCode, NoMasks);
}

std::string ownArchiveText(std::string_view languageCode) {
    return text(languageCode, OwnArchive);
}

std::string sameNameText(std::string_view languageCode) {
    return text(languageCode, SameName);
}

std::string newFileText(std::string_view languageCode) {
    return text(languageCode, NewFile);
}

} // namespace kd::left_out
