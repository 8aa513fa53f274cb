#include "zip/base/TLFNFileStream.h"

#include <sys/stat.h>

#include "zip/base/DosDateTime.h"

namespace kd {

TLFNFileStream::TLFNFileStream(const std::string& fileName, std::size_t bufferSize,
                               bool flushOnClose, FileOpenMode mode)
    : OwnedFileStream(fileName, mode), TS_BufferStream(File, bufferSize) {
    SetFlushOnClose(flushOnClose && File.Writable());
}

TLFNFileStream::TLFNFileStream(UniqueFd fd, const std::string& fileName, std::size_t bufferSize,
                               bool flushOnClose)
    : OwnedFileStream(std::move(fd), fileName), TS_BufferStream(File, bufferSize) {
    SetFlushOnClose(flushOnClose);
}

void TLFNFileStream::Close() {
    TS_BufferStream::Close();
    File.Close();
}

std::uint32_t TLFNFileStream::FileDosDateTime() const {
    struct stat st {};
    if (::fstat(Handle(), &st) != 0)
        return DosDateTimeClamp(0xFFFFFFFFu);
    return DosDateTimeClamp(UnixTimeToDosDateTime(st.st_mtime));
}

} // namespace kd
