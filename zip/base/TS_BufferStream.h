#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/Stream.h"

namespace kd {

// One memory buffer in front of another stream, so that many small reads and writes
// cost few calls to the stream below (which it does not own).
//
// States: Unknown (buffer empty), Reading (the bytes from the current position to
// the end of the buffer are read ahead and not yet consumed), Writing (the bytes from
// the buffer start to the current position are written and not yet passed on).
// A read flushes pending writes first; a write after reads moves the stream below
// back to the logical position first. Reads or writes of at least a buffer's size
// that find the buffer empty go straight to the stream below.
//
// Errors: a write that the stream below does not take in full throws EWriteError;
// so does a failed flush, from Write, Read, Seek or Close. Call Close() when done
// writing: it flushes, commits to the device when asked, and reports failures. The
// destructor still writes out pending bytes, but can only swallow its errors.
class TS_BufferStream : public Stream {
public:
    enum State { Unknown = 0, Reading = 1, Writing = 2 };

    TS_BufferStream(Stream& underlying, std::size_t bufferSize);
    ~TS_BufferStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Moves the logical position. Begin: offset; Current: position + offset; End: the
    // logical size minus |offset| (offsets from the end count backward whatever their
    // sign). Any other origin throws EStreamError "Invalid seek origin (N)". Seeking
    // to the current logical position keeps the buffer; any other seek flushes pending
    // writes, moves the stream below and empties the buffer.
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    // The larger of the size below and the end of pending writes.
    std::int64_t Size() override;
    void FlushToDevice() override;

    // Reads up to a buffer's worth from the stream below; false when nothing came.
    bool RefillBuffer();
    // Passes pending written bytes on (EWriteError when they are not all taken).
    void FlushPending();
    // Steps back one byte in the read-ahead buffer and stores b there, so that the
    // next read returns it. Throws EStreamError "Putback overflow" at the buffer start.
    void PutBack(std::uint8_t b);
    // Flushes pending bytes and, with flush-on-close set and anything written, commits
    // the stream below to its device. Throws on failure. Further use is still allowed.
    void Close();

    State GetState() const { return state_; }
    bool Written() const { return written_; }
    void SetFlushOnClose(bool value) { flushOnClose_ = value; }
    bool FlushOnClose() const { return flushOnClose_; }
    std::size_t BufferSize() const { return size_; }

    // Called after each refill and each flush.
    std::function<void(TS_BufferStream&)> OnRefilled;
    std::function<void(TS_BufferStream&)> OnFlushed;

protected:
    virtual void NotifyRefill();
    virtual void NotifyFlush();
    Stream& Underlying() { return underlying_; }

private:
    std::int64_t logicalPosition();
    void restartEmpty();
    std::uint8_t* storage();

    Stream& underlying_;
    const std::size_t size_;
    // Made at the first buffered read or write: a stream that is only opened and
    // looked at (or read in large pieces) costs no buffer.
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t pos_ = 0; // current position in the buffer
    std::size_t end_ = 0; // end of valid data (Reading)
    State state_ = Unknown;
    bool flushOnClose_ = false;
    bool written_ = false;
};

} // namespace kd
