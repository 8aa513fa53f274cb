#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Exception.h"

namespace kd {

// Errors of streams: a failed seek, read or write of a file or a buffer.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
// A file that cannot be opened or created.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// ReadBuffer got fewer bytes than asked.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
// A write stored fewer bytes than asked (a full disk, a short-writing device).
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

enum class SeekOrigin : int { Begin = 0, Current = 1, End = 2 };

// A byte stream with 64-bit positions: files, memory buffers and the buffered
// stream of the ZIP engine stack on it.
//
// Contract for implementations:
// - Read returns the number of bytes delivered; fewer than asked only at the end of
//   the data (0 at the end). Errors of the device throw EStreamError.
// - Write returns the number of bytes taken; a device error throws EStreamError. A
//   stream may take fewer bytes than asked (a full medium); WriteBuffer turns that into
//   EWriteError.
// - Seek returns the new position; a negative target throws EStreamError. Seeking past
//   the end is allowed (a later write fills the gap).
class Stream {
public:
    virtual ~Stream() = default;
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;
    // Commits written data to the storage device (fsync for files); no-op elsewhere.
    virtual void FlushToDevice() {}

    std::int64_t Position() { return Seek(0, SeekOrigin::Current); }

    // Reads exactly count bytes or throws EReadError.
    void ReadBuffer(void* buffer, std::size_t count);
    // Writes exactly count bytes or throws EWriteError.
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies count bytes from source at its position to this stream at its position;
    // throws EReadError when source ends early, EWriteError on a short write.
    void CopyFrom(Stream& source, std::uint64_t count);
};

} // namespace kd
