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
    // The bytes still to come when known in advance, else 0.
    virtual std::uint64_t Remaining() const { return 0; }
};

// Where a decoder puts what it decodes: the entry's bytes (size limit, CRC, progress
// and the file live behind it), or wider symbols where inflate marks history it does
// not know yet.
template <class Symbol> class BasicDecompressOutput {
public:
    virtual ~BasicDecompressOutput() = default;
    virtual void Write(const Symbol* data, std::size_t length) = 0;
};

using DecompressOutput = BasicDecompressOutput<std::uint8_t>;

} // namespace kd
