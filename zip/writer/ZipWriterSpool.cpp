#include "zip/writer/ZipWriterSpool.h"

#include "zip/writer/ZipWriterTypes.h"

namespace kd {

ZipWriterSpool::ZipWriterSpool(const std::string& dir)
    : dir_(dir), file_(TempFileBeside::InDirectory(dir, 0600)),
      stream_(std::make_unique<TLFNFileStream>(file_->DupFd(), dir + " (temporary data file)",
                                               kZipBufferSize, false)) {}

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
        throw ENotEnoughRoom(std::string(kMsgNotEnoughRoom) + " (temporary data file in " + dir_ +
                             ")");
    }
    size_ += count;
}

Stream& ZipWriterSpool::Rewind() {
    try {
        stream_->Seek(0, SeekOrigin::Begin);
    } catch (const EWriteError&) {
        throw ENotEnoughRoom(std::string(kMsgNotEnoughRoom) + " (temporary data file in " + dir_ +
                             ")");
    }
    return *stream_;
}

} // namespace kd
