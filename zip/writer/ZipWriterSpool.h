#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/TempFileBeside.h"
#include "zip/base/TLFNFileStream.h"

namespace kd {

// The temporary data file of a multi-part run: an entry's data (encryption header
// included) is written here first, so that its local header, which comes first in
// the archive, can be written with the final CRC and sizes before the data is copied
// into the parts. One file serves every entry of the run, a scratch file
// (TempFileBeside) that goes with the object.
class ZipWriterSpool {
public:
    // Creates the file in dir; throws when it cannot.
    explicit ZipWriterSpool(const std::string& dir);
    ZipWriterSpool(const ZipWriterSpool&) = delete;
    ZipWriterSpool& operator=(const ZipWriterSpool&) = delete;

    // Starts the next entry's data.
    void Reset();
    // A short write raises ENotEnoughRoom; data past what an entry can hold raises
    // EZipTooLarge.
    void Write(const void* data, std::size_t count);
    std::uint64_t Size() const { return size_; }
    // The data written since Reset, from its start.
    Stream& Rewind();

private:
    std::string dir_;
    std::unique_ptr<TempFileBeside> file_;
    std::unique_ptr<TLFNFileStream> stream_; // over file_, destroyed before it
    std::uint64_t size_ = 0;
};

} // namespace kd
