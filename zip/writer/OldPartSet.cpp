#include "zip/writer/OldPartSet.h"

#include <algorithm>

#include "zip/format/ZfcFile.h"
#include "zip/format/ZipExceptions.h"

namespace kd {

OldPartSet::OldPartSet(const std::string& zipName, int count) {
    starts_.push_back(0);
    for (int n = 1; n <= count; ++n) {
        const std::string name = PartFileName(zipName, n);
        const auto stamp = FileStampOf(name);
        if (!stamp)
            throw EMissingVolume("Part " + std::to_string(n) +
                                 " of the multi-part archive is missing: " + name);
        names_.push_back(name);
        identities_.push_back(*stamp);
        starts_.push_back(starts_.back() + stamp->size);
    }
}

std::int64_t OldPartSet::Start(int disk, std::int64_t offset) const {
    const auto index = static_cast<std::size_t>(disk);
    if (disk < 0 || index >= names_.size() || offset < 0 ||
        starts_[index] + offset > starts_[index + 1])
        throw EBadZipFile(std::string(kMsgNotValidZip) + " (a record lies outside part " +
                          std::to_string(disk + 1) + " of the set)");
    return starts_[index] + offset;
}

TLFNFileStream& OldPartSet::part(std::size_t index) {
    if (!open_ || openIndex_ != index) {
        open_.reset();
        open_ = std::make_unique<TLFNFileStream>(names_[index]);
        openIndex_ = index;
        // A part that changed since the set was measured would shift every offset.
        if (open_->Size() != starts_[index + 1] - starts_[index])
            throw EBadZipFile("The part " + names_[index] + " changed while it was read");
    }
    return *open_;
}

std::size_t OldPartSet::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count && position_ < Size()) {
        // The part holding the position: the last whose start is not behind it.
        const auto next = std::upper_bound(starts_.begin(), starts_.end(), position_);
        const auto index = static_cast<std::size_t>(next - starts_.begin() - 1);
        TLFNFileStream& stream = part(index);
        stream.Seek(position_ - starts_[index], SeekOrigin::Begin);
        const auto want = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(count - done), *next - position_));
        const std::size_t got = stream.Read(out + done, want);
        if (got == 0)
            throw EBadZipFile("The part " + names_[index] + " ended early");
        done += got;
        position_ += static_cast<std::int64_t>(got);
    }
    return done;
}

std::size_t OldPartSet::Write(const void*, std::size_t) {
    throw EStreamError("The parts of the old set are only read");
}

std::int64_t OldPartSet::Seek(std::int64_t offset, SeekOrigin origin) {
    const std::int64_t base = origin == SeekOrigin::Begin     ? 0
                              : origin == SeekOrigin::Current ? position_
                                                              : Size();
    if (base + offset < 0)
        throw EStreamError("Seek before the start of the old set");
    position_ = base + offset;
    return position_;
}

} // namespace kd
