#pragma once
// The common base of hashes, keyed hashes and ciphers: a chain of protections that
// code buffers, streams, files and texts.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace kd {

class Stream;

enum class TProtectionAction : std::uint8_t {
    Encode = 0,    // reversible transform (ciphers) or keystream mix (hashes)
    Decode = 1,    // inverse of Encode
    Scramble = 2,  // irreversible overwrite
    Calculate = 3, // read only: accumulate a digest, write nothing back
    Wipe = 4,      // irreversible overwrite after randomising the object's own state
};

// A set of actions, one bit per action.
class TProtectionActions {
public:
    static TProtectionActions All() { return TProtectionActions(0x1F); }
    constexpr TProtectionActions() = default;
    bool Contains(TProtectionAction a) const { return bits_ & bit(a); }
    void Include(TProtectionAction a) { bits_ = std::uint8_t(bits_ | bit(a)); }
    void Exclude(TProtectionAction a) { bits_ = std::uint8_t(bits_ & ~bit(a)); }
    std::uint8_t Bits() const { return bits_; }

private:
    explicit constexpr TProtectionActions(std::uint8_t bits) : bits_(bits) {}
    static std::uint8_t bit(TProtectionAction a) { return std::uint8_t(1u << unsigned(a)); }
    std::uint8_t bits_ = 0;
};

// A protection chain that would lead back to itself.
class EProtection : public Exception {
public:
    using Exception::Exception;
};

class TProtection;
// Progress of stream and file coding: (sender, current, maximum); (sender, 0, 0) at the end.
using TProgressHook = std::function<void(TProtection&, std::int64_t, std::int64_t)>;
TProgressHook& ProgressHook();

// Bytes coded per chunk by ProcessStream: a multiple of every block and digest size in
// the library (1 to 128 bytes, including 12, 20, 24, 28, 36, 40), so a keystream or
// block never breaks at a chunk boundary.
inline constexpr std::size_t kProtectionChunkSize = 40320;

class TProtection : public std::enable_shared_from_this<TProtection> {
public:
    explicit TProtection(std::shared_ptr<TProtection> protection = {});
    virtual ~TProtection();
    TProtection(const TProtection&) = delete;
    TProtection& operator=(const TProtection&) = delete;

    const std::shared_ptr<TProtection>& Protection() const { return protection_; }
    // Throws EProtection (and changes nothing) when the new chain leads back here.
    void SetProtection(std::shared_ptr<TProtection> protection);

    TProtectionActions Actions;

    virtual void StartAction(TProtectionAction action);
    virtual void FinishAction(TProtectionAction action);
    virtual void ProcessChunk(void* buffer, std::size_t size, TProtectionAction action);
    // Throws, before a run changes any byte, when some protection of the chain cannot
    // code a run of `size` bytes as a whole; the base asks the chained protection.
    virtual void CheckRunSize(std::uint64_t size, TProtectionAction action) const;

    // Codes size bytes of source from its position (size < 0: all of it from 0) into
    // destination (null: back into source, in place).
    void ProcessStream(Stream* source, Stream* destination, std::int64_t size,
                       TProtectionAction action);
    // An empty destination name codes the source in place (Calculate: reads it only).
    // When both names lead to the same file, it is coded in place.
    void ProcessFile(const std::string& sourceName, const std::string& destinationName,
                     TProtectionAction action);
    // Decode takes the text in the format formatId (-1: the default format) and returns
    // the bytes; other actions take the bytes and return the result in that format.
    std::string ProcessText(std::string_view text, TProtectionAction action, int formatId = -1);
    // Codes a buffer in place. With Calculate the buffer is never written: the chain
    // works on a copy.
    std::size_t ProcessMemory(void* buffer, std::size_t size, TProtectionAction action);
    // Calculate over read-only data.
    void CalculateMemory(const void* buffer, std::size_t size);

private:
    void reportProgress(std::int64_t current, std::int64_t maximum);

    std::shared_ptr<TProtection> protection_;
};

} // namespace kd
