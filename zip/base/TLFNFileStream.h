#pragma once
#include <cstdint>
#include <string>

#include "platform/FileStream.h"
#include "zip/base/TS_BufferStream.h"
#include "zip/base/ZipFiles.h"

namespace kd {

namespace detail {
// Holds the file so that it is built before, and destroyed after, the buffer over it.
struct OwnedFileStream {
    FileStream File;
    OwnedFileStream(const std::string& name, FileOpenMode mode) : File(name, mode) {}
    OwnedFileStream(UniqueFd fd, const std::string& name) : File(std::move(fd), name) {}
};
} // namespace detail

// The engine's buffered file stream: a file opened with mode, behind a buffer of
// bufferSize bytes. With flushOnClose, a file that was written to is committed to the
// device on Close(). Open failures throw EFOpenError.
//
// Close() writes out the buffer, commits, and closes the file, reporting every
// failure; a stream destroyed without Close() (an error path) writes out what it can
// and closes silently.
class TLFNFileStream : private detail::OwnedFileStream, public TS_BufferStream {
public:
    TLFNFileStream(const std::string& fileName, std::size_t bufferSize = kZipBufferSize,
                   bool flushOnClose = false, FileOpenMode mode = FileOpenMode::Read);
    // A file already open for reading and writing as fd (taken over); fileName names
    // it in messages.
    TLFNFileStream(UniqueFd fd, const std::string& fileName, std::size_t bufferSize,
                   bool flushOnClose);

    void Close();

    // The file descriptor (for its date and attributes).
    int Handle() const { return File.Handle(); }
    const std::string& FileName() const { return File.Path(); }
    // The file's last-write time as a DOS value, clamped.
    std::uint32_t FileDosDateTime() const;
};

} // namespace kd
