#include "zip/writer/ZipWriterParts.h"

#include "platform/Paths.h"
#include "zip/writer/ZipWriterTypes.h"

namespace kd {

namespace {

// Disk numbers are 16-bit in the records.
constexpr int kMaxParts = 0xFFFF;

} // namespace

ZipWriterParts::ZipWriterParts(std::string zipName) : ZipWriterOutput(std::move(zipName)) {}

void ZipWriterParts::openPart(const std::string& finalName, std::int64_t room) {
    partFinal_ = finalName;
    openFile(finalName);
    // Offsets within a part are 32-bit, however large the disk.
    roomLimit_ = std::min<std::int64_t>(room, static_cast<std::int64_t>(kMaxZipSize));
}

void ZipWriterParts::closePart() {
    closeFile(partFinal_);
    out_.reset();
    stream_.reset();
    closed_.emplace_back(std::move(temp_), partFinal_);
}

void ZipWriterParts::placePart() {
    closePart();
    placeClosedParts();
}

void ZipWriterParts::placeClosedParts() {
    for (auto& [temp, final] : closed_) {
        try {
            temp->PublishAs(fileNameOf(final));
        } catch (const Exception& e) {
            throw Exception("Cannot put the part " + final + " in place: " + e.what());
        }
    }
    closed_.clear();
}

void ZipWriterParts::nextPart() {
    // A part left empty would only hold up the set: the parts are too small.
    if (Position() == 0)
        tooSmall(0);
    if (partNumber_ + 1 >= kMaxParts)
        throw EZipTooLarge("The archive " + zipName_ + " would need more than 65535 parts");
    startNextPart();
    if (OnNewPart)
        OnNewPart(partNumber_);
}

void ZipWriterParts::tooSmall(std::uint64_t count) const {
    throw ENotEnoughRoom(
        std::string(kMsgNotEnoughRoom) + ": part " + std::to_string(partNumber_ + 1) + " of " +
        zipName_ + " has room for only " + std::to_string(std::max<std::int64_t>(0, roomLimit_)) +
        " bytes" + (count ? ", too few for a record of " + std::to_string(count) : ""));
}

void ZipWriterParts::CheckRoom(std::uint64_t count) {
    const auto fits = [&] { return roomLeft() >= static_cast<std::int64_t>(count); };
    if (fits())
        return;
    nextPart();
    if (!fits())
        tooSmall(count);
}

void ZipWriterParts::PlaceEntry(std::uint64_t headerSize, std::uint64_t) {
    const auto fits = [&] { return roomLeft() > static_cast<std::int64_t>(headerSize); };
    if (!fits()) {
        nextPart();
        if (!fits())
            tooSmall(headerSize + 1);
    }
}

void ZipWriterParts::WriteLocalHeader(TZipHeaderInfo& header) {
    PlaceEntry(header.LocalHeaderSize(), 0);
    header.DiskStart = static_cast<std::uint16_t>(partNumber_);
    header.WriteLocalHeader(*out_);
}

void ZipWriterParts::WriteData(Stream& source, std::uint64_t count,
                               const std::function<void(std::size_t)>& afterChunk) {
    // The data continue on the next part wherever this one is full.
    for (std::uint64_t left = count; left > 0;) {
        if (roomLeft() <= 0) {
            nextPart();
            if (roomLeft() <= 0)
                tooSmall(1);
        }
        const std::uint64_t piece =
            std::min<std::uint64_t>(left, static_cast<std::uint64_t>(roomLeft()));
        left -= piece;
        ZipWriterOutput::WriteData(source, piece, afterChunk);
        if (roomLeft() <= 0)
            nextPart();
    }
}

} // namespace kd
