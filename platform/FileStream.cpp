#include "platform/FileStream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace kd {

namespace {

int openFlags(FileOpenMode mode) {
    switch (mode) {
    case FileOpenMode::Read:
        return O_RDONLY;
    case FileOpenMode::Create:
        return O_RDWR | O_CREAT | O_TRUNC;
    case FileOpenMode::ReadWrite:
        return O_RDWR;
    }
    return O_RDONLY;
}

} // namespace

FileStream::FileStream(const std::string& path, FileOpenMode mode) : path_(path), mode_(mode) {
    fd_ = UniqueFd(::open(path.c_str(), openFlags(mode) | O_CLOEXEC, 0666));
    if (!fd_) {
        const char* verb = mode == FileOpenMode::Create ? "Cannot create file" : "Cannot open file";
        throw EFOpenError(std::string(verb) + " \"" + path + "\". " + std::strerror(errno));
    }
    position_ = 0;
}

FileStream::FileStream(UniqueFd fd, const std::string& path)
    : path_(path), mode_(FileOpenMode::ReadWrite), fd_(std::move(fd)) {}

void FileStream::fail(const char* what) {
    position_ = -1;
    throw EStreamError(std::string(what) + " \"" + path_ + "\": " + std::strerror(errno));
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_.get(), out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot read file");
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    advance(done);
    return done;
}

std::size_t FileStream::Write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_.get(), in + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot write file");
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    advance(done);
    return done;
}

void FileStream::advance(std::size_t bytes) {
    if (position_ >= 0)
        position_ += static_cast<std::int64_t>(bytes);
}

std::int64_t FileStream::Seek(std::int64_t offset, SeekOrigin origin) {
    if (position_ >= 0 && ((origin == SeekOrigin::Current && offset == 0) ||
                           (origin == SeekOrigin::Begin && offset == position_)))
        return position_;
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    const off_t pos = ::lseek(fd_.get(), static_cast<off_t>(offset), whence);
    if (pos < 0)
        fail("Seek error in");
    position_ = pos;
    return pos;
}

std::int64_t FileStream::Size() {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0)
        fail("Cannot read the size of");
    return st.st_size;
}

void FileStream::FlushToDevice() {
    if (::fsync(fd_.get()) != 0)
        fail("Cannot flush file");
}

void FileStream::Close() {
    if (fd_ && fd_.close() != 0)
        fail("Cannot close file");
}

} // namespace kd
