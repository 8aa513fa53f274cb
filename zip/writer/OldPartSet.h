#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileStamp.h"
#include "platform/Stream.h"
#include "zip/base/TLFNFileStream.h"

namespace kd {

// The numbered parts of an existing set ("backup.001" ... ) read as one stream, the
// parts one behind the other, so that an entry whose bytes run over several parts is
// read from Start(disk, offset) on without regard to where a part ends. One part is
// open at a time. Read-only: Write throws.
class OldPartSet : public Stream {
public:
    // The first count parts of zipName's set; EMissingVolume when one is not there.
    OldPartSet(const std::string& zipName, int count);

    // The position of offset in part disk (0-based); EBadZipFile when the set has no
    // such part or the part is shorter.
    std::int64_t Start(int disk, std::int64_t offset) const;
    // Which files the parts are (for never storing them).
    const std::vector<FileStamp>& Identities() const { return identities_; }

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override { return starts_.back(); }

private:
    // Opens part index unless it is the one open.
    TLFNFileStream& part(std::size_t index);

    std::vector<std::string> names_;
    std::vector<FileStamp> identities_;
    // The position of each part's first byte, and the set's size behind the last.
    std::vector<std::int64_t> starts_;
    std::unique_ptr<TLFNFileStream> open_;
    std::size_t openIndex_ = 0;
    std::int64_t position_ = 0;
};

} // namespace kd
