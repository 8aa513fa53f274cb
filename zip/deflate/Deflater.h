#pragma once
#include "platform/Exception.h"
#include "zip/deflate/DeflateBitWriter.h"
#include "zip/deflate/DeflateLevels.h"
#include "zip/deflate/DeflateMatcher.h"
#include "zip/deflate/DeflateTrees.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace kd {

// Supplies input: fills up to `size` bytes of `buffer` and returns how many it put
// there; 0 means the end of the data. It may throw to stop compression.
using DeflateReadFunction = std::function<std::size_t(std::uint8_t* buffer, std::size_t size)>;

// Thrown by Deflater::DeflateInMemory when it is cancelled.
class EDeflateCanceled : public Exception {
public:
    using Exception::Exception;
};

// What the compressor settles about one archive entry.
struct DeflateEntry {
    // Out: 8 (Deflate), or 0 when the data was written unchanged (stored).
    std::uint16_t Method = 8;
    // In/out: general-purpose flags. Bits 1 and 2 are replaced by the level hint:
    // bit 2 for levels 1-2 (fastest), bit 1 for levels 8-9 (maximum); others are kept.
    std::uint16_t Flags = 0;
    // In/out: 2 (undecided) becomes 1 for text or 0 for binary data, guessed from the
    // literals of the first block; any other value is kept.
    std::uint16_t InternalAttributes = 2;
};

// Deflate (RFC 1951) compressor of archive entries: a hash-chain string matcher
// (greedy at levels 1-3, lazy at 4-9) feeding a block stage that picks stored,
// fixed-code or dynamic-code blocks. All buffers are allocated by the constructor and
// reused for every entry, so streaming compression allocates nothing (compression in
// parts makes its parts' buffers); keep one Deflater for a whole archive run. One
// entry at a time; compression in parts starts and ends its own helper threads.
class Deflater {
public:
    Deflater();
    ~Deflater();
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Compresses one entry: pulls all input through `read`, pushes the output through
    // `write` (in pieces of at most 1024 bytes, except stored data, which goes out in
    // one piece per block) and returns the number of bytes written.
    // PackLevel 1-9 selects speed against size (values above 9 act as 9). Level 0 (or
    // below) copies the data unchanged. When the data fits one block and would not
    // shrink, it is written unchanged too. In both stored cases entry.Method becomes 0
    // and the result equals the input size; empty input gives 0 bytes and method 0.
    // Exceptions from read or write propagate; the Deflater stays usable.
    std::uint64_t DeflateStream(const DeflateReadFunction& read, const DeflateWriteFunction& write,
                                int PackLevel, DeflateEntry& entry);

    // Compresses size bytes already in memory, followed by DeflateReadSlack readable
    // bytes, on up to `threads` threads: exactly the bytes, method, flags and text guess
    // that DeflateStream makes when its read function hands the same data over in full
    // pieces. onRead gets the sizes of those pieces, in their order, as the data is
    // taken (for progress). Throws EDeflateCanceled once cancel is true.
    std::uint64_t DeflateInMemory(const std::uint8_t* data, std::uint64_t size, int PackLevel,
                                  int threads, const DeflateWriteFunction& write,
                                  DeflateEntry& entry,
                                  const std::function<void(std::size_t)>& onRead,
                                  const std::atomic<bool>& cancel);

    // DeflateInMemory splits the data into parts of this many bytes (for tests: the
    // result is the same for every size).
    void SetSegmentSize(std::uint64_t bytes) { segmentSize_ = bytes; }
    // Of the compressions in memory running at once in the process, those of the
    // lowest rank get the helper threads (0, the default, comes first).
    void SetHelperRank(std::uint64_t rank) { helperRank_ = rank; }

private:
    struct BlockOutput;
    struct ItemReplay;
    struct WindowInput;

    void copyStored(const DeflateReadFunction& read);
    void fillWindow();
    void slideWindow();
    bool refill(unsigned& position, unsigned& lookahead);
    // Both return the position where the input ended.
    unsigned compressFast();
    unsigned compressLazy();
    void flushBlock(unsigned position, bool last);
    void emitBlock(const std::uint8_t* data, std::uint64_t size, bool last);
    int startEntry(int PackLevel, const DeflateWriteFunction& write, DeflateEntry& entry);
    std::uint64_t endEntry(DeflateEntry& entry);
    void replaySegments(const std::uint8_t* data, std::uint64_t size, int level, int threads,
                        const std::function<void(std::size_t)>& onRead,
                        const std::atomic<bool>& cancel);

    // Two halves of input plus readable slack past the end, so that match comparison
    // may run a whole match length beyond the last valid byte.
    std::unique_ptr<std::uint8_t[]> window_;
    DeflateMatcher matcher_;
    DeflateTrees trees_;
    DeflateBitWriter out_;

    const DeflateReadFunction* read_ = nullptr;
    unsigned position_ = 0;       // current position in the window
    unsigned lookahead_ = 0;      // valid bytes from the current position on
    std::int64_t blockStart_ = 0; // window position of the current block's first byte
    std::uint64_t segmentSize_ = 512 * 1024;
    std::uint64_t helperRank_ = 0;
    bool endOfInput_ = false;
    bool storedEntry_ = false;
    std::uint16_t internalAttributes_ = 2;
};

} // namespace kd
