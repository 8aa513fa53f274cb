#pragma once
#include <cstdint>
#include <memory>

#include "platform/ArchiveAttribute.h"
#include "zip/format/TZipHeaderInfo.h"
#include "zip/writer/SourceFields.h"

namespace kd {

// What OnStartZip made of a file it took.
struct TakenFile {
    // The entry's header as OnStartZip left it.
    std::shared_ptr<TZipHeaderInfo> Header;
    // The fields the file's state gave the header before OnStartZip, and that state.
    SourceFields Made;
    ArchiveStamp Stamp;
    // Made holds the file's archive attribute (else its archive bit is merely set).
    bool ArchiveKnown = true;
};

// What became of a file of the run when OnStartZip was asked about it, before any
// file was read: workers compress only the files taken. Small: a run holds one for
// each file, and most of an unchanged run's are skipped.
struct StartDecision {
    enum class Kind : std::uint8_t {
        // Asked at the file's turn, as it is opened: not a regular file (its turn
        // reports it), or an earlier file took its entry name.
        Undecided,
        Gone,    // vanished, or one of the run's own archives: left out without a word
        Skipped, // OnStartZip skipped it
        Taken,   // goes in as Taken says
    };
    Kind What = Kind::Undecided;
    // Left out before the run read anything.
    bool LeftOut() const { return What == Kind::Gone || What == Kind::Skipped; }
    std::unique_ptr<TakenFile> Taken;
};

} // namespace kd
