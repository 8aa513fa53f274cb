#include "zip/writer/ZipWriterSpool.h"

#include <unistd.h>

#include "zip/base/ZipFiles.h"
#include "zip/writer/ZipWriterTypes.h"

namespace kd {

ZipWriterSpool::ZipWriterSpool(const std::string& dir) : name_(TemporaryFileName(dir)) {
    try {
        stream_ =
            std::make_unique<TLFNFileStream>(name_, kZipBufferSize, false, FileOpenMode::ReadWrite);
    } catch (...) {
        ::unlink(name_.c_str());
        throw;
    }
}

ZipWriterSpool::~ZipWriterSpool() {
    stream_.reset();
    ::unlink(name_.c_str());
}

void ZipWriterSpool::Reset() {
    Rewind();
    size_ = 0;
}

void ZipWriterSpool::Write(const void* data, std::size_t count) {
    if (size_ + count > kMaxZipSize)
        throw EZipTooLarge("An entry's data would pass 4 GiB, which a ZIP archive without "
                           "ZIP64 cannot hold");
    try {
        stream_->WriteBuffer(data, count);
    } catch (const EWriteError&) {
        throw ENotEnoughRoom(std::string(kMsgNotEnoughRoom) + " (temporary data file " + name_ +
                             ")");
    }
    size_ += count;
}

Stream& ZipWriterSpool::Rewind() {
    try {
        stream_->Seek(0, SeekOrigin::Begin);
    } catch (const EWriteError&) {
        throw ENotEnoughRoom(std::string(kMsgNotEnoughRoom) + " (temporary data file " + name_ +
                             ")");
    }
    return *stream_;
}

} // namespace kd
