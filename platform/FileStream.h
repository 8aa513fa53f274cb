#pragma once
#include <string>

#include "platform/Stream.h"
#include "platform/UniqueFd.h"

namespace kd {

enum class FileOpenMode {
    Read,      // existing file, read only
    Create,    // create or truncate, read and write
    ReadWrite, // existing file, read and write
};

// A file opened through its POSIX descriptor. Open failures throw EFOpenError with
// the file name and the system's reason; read, write and seek errors EStreamError.
// The stream keeps its position itself, so that asking for it costs no system call;
// whoever uses Handle() must not move the descriptor's offset (pread, fstat, ftruncate
// and the like do not).
class FileStream : public Stream {
public:
    FileStream(const std::string& path, FileOpenMode mode);
    // A file already open as fd (taken over, read and write); path names it in messages.
    FileStream(UniqueFd fd, const std::string& path);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    std::int64_t Size() override;
    void FlushToDevice() override;

    // Closes the descriptor and reports a failure (some file systems report a failed
    // write only here). The destructor closes silently when Close was not called.
    void Close();

    int Handle() const { return fd_.get(); }
    const std::string& Path() const { return path_; }
    bool Writable() const { return mode_ != FileOpenMode::Read; }

private:
    [[noreturn]] void fail(const char* what);
    void advance(std::size_t bytes);

    std::string path_;
    FileOpenMode mode_;
    UniqueFd fd_;
    std::int64_t position_ = -1; // not known (yet, or after an error)
};

} // namespace kd
