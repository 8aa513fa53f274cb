#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zip/writer/ZipWriterOutput.h"

namespace kd {

// An archive written in several parts (numbered part files or spanned disks), each
// with a room limit. Records (local, central and end records) go whole into one
// part; an entry's data may run on over several. When a record or piece of data does
// not fit, the next part is started (ZipWriterPartsNumbered, ZipWriterSpan say how).
//
// Every part is written as a temporary file beside the name it is to take
// (TempFileBeside); the derived classes put them in place. Parts not in place when
// the object goes leave nothing behind.
class ZipWriterParts : public ZipWriterOutput {
public:
    // A new part is started when the current one has fewer than count bytes left.
    void CheckRoom(std::uint64_t count) override;
    // A new part is started when the room left is not larger than the header (its
    // data begins in the same part); the header then takes the part's number and the
    // offset in it.
    void WriteLocalHeader(TZipHeaderInfo& header) override;
    // The same rule for the local header of an entry copied as it stands; its data may
    // run on.
    void PlaceEntry(std::uint64_t headerSize, std::uint64_t entrySize) override;
    // Copies count bytes of an entry's data from source, filling the current part and
    // starting new ones; a part filled exactly starts the next at once. afterChunk
    // gets the length of each chunk copied.
    void WriteData(Stream& source, std::uint64_t count,
                   const std::function<void(std::size_t)>& afterChunk) override;

    // 0-based number of the part being written.
    int PartNumber() const { return partNumber_; }
    // The name the archive goes by once Commit is done.
    virtual std::string ArchiveName() const = 0;

    // Raised with the new part's number each time a part is started.
    std::function<void(int)> OnNewPart;

protected:
    explicit ZipWriterParts(std::string zipName);

    // Creates the temporary file of the current part beside finalName, with room
    // bytes of room (at most what 32-bit offsets reach).
    void openPart(const std::string& finalName, std::int64_t room);
    // Writes out and closes the current part's stream; its file stays temporary.
    void closePart();
    // Closes the current part and puts it in place.
    void placePart();
    // Puts every closed part in place, in order.
    void placeClosedParts();
    // Closes the current part and starts the next: the number goes up, openPart.
    virtual void startNextPart() = 0;

    std::int64_t roomLeft() { return roomLimit_ - Position(); }

    int partNumber_ = 0;
    std::string partFinal_; // the name the current part takes
    // Parts closed but not yet in place, with the names they take.
    std::vector<std::pair<std::unique_ptr<TempFileBeside>, std::string>> closed_;

private:
    void nextPart();
    [[noreturn]] void tooSmall(std::uint64_t count) const;

    std::int64_t roomLimit_ = 0;
};

} // namespace kd
