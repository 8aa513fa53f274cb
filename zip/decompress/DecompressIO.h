#pragma once
#include <cstddef>
#include <cstdint>

namespace kd {

// Where a decoder takes an entry's compressed bytes from. The extraction run
// implements it over the archive (volumes, decryption, cancel); tests over memory.
class DecompressInput {
public:
    virtual ~DecompressInput() = default;
    // Reads up to `capacity` bytes into `buffer`. Returns 0 only at the end of the
    // entry's data; may return fewer bytes than asked before that.
    virtual std::size_t Read(std::uint8_t* buffer, std::size_t capacity) = 0;
};

// Where a decoder puts the entry's uncompressed bytes (size limit, CRC, progress
// and the file live behind it).
class DecompressOutput {
public:
    virtual ~DecompressOutput() = default;
    virtual void Write(const std::uint8_t* data, std::size_t length) = 0;
};

} // namespace kd
