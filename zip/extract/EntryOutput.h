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
// coming), written to the file (ECantWriteUCF with the system's reason when the
// file does not take it, for example on a full disk), added to the CRC-32 and
// reported through onFlushed with the bytes written so far.
class EntryOutput : public DecompressOutput {
public:
    static constexpr std::size_t kChunkSize = 32768;

    // buffer is the run's output buffer (resized to a chunk); shownName names the
    // target in messages.
    EntryOutput(std::vector<std::uint8_t>& buffer, int fd, std::string shownName,
                std::uint64_t limit, std::function<void(std::uint64_t written)> onFlushed);

    void Write(const std::uint8_t* data, std::size_t length) override;
    // Writes out the last chunk (and reports it, also when it is empty).
    void Finish();

    std::uint64_t Written() const { return written_; }
    std::uint32_t Crc() const { return crc_; }

private:
    void flush(const std::uint8_t* data, std::size_t length);

    std::vector<std::uint8_t>& buffer_;
    std::size_t pending_ = 0;
    int fd_;
    std::string shownName_;
    std::uint64_t limit_;
    std::function<void(std::uint64_t)> onFlushed_;
    std::uint64_t written_ = 0;
    std::uint32_t crc_ = 0;
};

} // namespace kd
