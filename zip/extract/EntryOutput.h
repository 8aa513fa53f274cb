#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "zip/decompress/DecompressIO.h"

namespace kd {

// Where the decoders put an entry's bytes: gathered in chunks of 32768 bytes, each
// chunk checked against the announced size (EBiggerThanUncompressed when more is
// coming), added to the CRC-32 and reported through onFlushed with the bytes written
// so far. The file gets the chunks in blocks of up to a mebibyte (ECantWriteUCF with
// the system's reason when it does not take one, for example on a full disk): a large
// file then costs a few dozen writes, not hundreds, which other threads creating
// files beside it would each have to wait for.
class EntryOutput : public DecompressOutput {
public:
    static constexpr std::size_t kChunkSize = 32768;
    static constexpr std::size_t kBlockSize = 32 * kChunkSize;

    // buffer is the run's output buffer (resized to a block); shownName names the
    // target in messages.
    EntryOutput(std::vector<std::uint8_t>& buffer, int fd, std::string shownName,
                std::uint64_t limit, std::function<void(std::uint64_t written)> onFlushed);

    void Write(const std::uint8_t* data, std::size_t length) override;
    // Ends the last chunk (and reports it, also when it is empty) and writes out what
    // the file has not got yet.
    void Finish();

    std::uint64_t Written() const { return written_; }
    std::uint32_t Crc() const { return crc_; }

private:
    // The chunk at chunkStart_ of pending_ - chunkStart_ bytes is complete.
    void endChunk();
    void writeBlock();

    std::vector<std::uint8_t>& buffer_;
    std::size_t pending_ = 0;    // bytes in buffer_ the file has not got
    std::size_t chunkStart_ = 0; // where the chunk being gathered starts in buffer_
    int fd_;
    std::string shownName_;
    std::uint64_t limit_;
    std::function<void(std::uint64_t)> onFlushed_;
    std::uint64_t written_ = 0;
    std::uint32_t crc_ = 0;
};

} // namespace kd
