#pragma once
// The block cipher frame: key setup through CheckKeySize and SetVector, the eight modes
// of operation over data of any length, and the protection operations.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/base/Protection.h"
#include "crypto/hash/Hash.h"

namespace kd {

enum class TCipherMode : std::uint8_t {
    cmXorChain = 0,
    cmCBC = 1,
    cmCFB8 = 2,
    cmOFB8 = 3,
    cmECB = 4,
    cmXorChainMAC = 5,
    cmCBCMAC = 6,
    cmCFB8MAC = 7,
};

// Code 2: key too long (or, for Blowfish, empty); 3: used before Init; 4: a piece
// shorter than a block in ECB mode; 5: InitKey without a key hash class.
class ECipherException : public Exception {
public:
    ECipherException(int code, const std::string& message) : Exception(message), Code(code) {}
    int Code;
};

// Whether a key longer than the class's largest is refused (true) or cut (false).
bool& StrictKeySize();

struct CipherContext {
    std::size_t BlockSize = 0;
    std::size_t KeySize = 0;
    std::size_t ScheduleSize = 0;
};

class TCipher;

// What a cipher class offers without an instance: its name, sizes and a factory.
class CipherClass {
public:
    using Factory = std::function<std::shared_ptr<TCipher>(std::shared_ptr<TProtection>)>;
    CipherClass(std::string_view className, CipherContext context, Factory factory)
        : className_(className), context_(context), factory_(std::move(factory)) {}

    const std::string& ClassName() const { return className_; }
    const CipherContext& Context() const { return context_; }
    std::shared_ptr<TCipher> Create(std::shared_ptr<TProtection> protection = {}) const {
        return factory_(std::move(protection));
    }

private:
    std::string className_;
    CipherContext context_;
    Factory factory_;
};

template <class T> const CipherClass& CipherClassOf() {
    static const CipherClass cls(
        T::kClassName, T::kContext, [](std::shared_ptr<TProtection> protection) {
            return std::static_pointer_cast<TCipher>(std::make_shared<T>(std::move(protection)));
        });
    return cls;
}

// Declares the class operations of a concrete cipher class inside its body.
#define KD_CIPHER_CLASS(Name)                                                                      \
public:                                                                                            \
    static constexpr const char* kClassName = #Name;                                               \
    const CipherClass& Class() const override {                                                    \
        return CipherClassOf<Name>();                                                              \
    }

class TCipher : public TProtection {
public:
    static constexpr int kInitialized = 1; // flag bit

    TCipher(std::shared_ptr<TProtection> protection, const CipherContext& context);
    ~TCipher() override;

    virtual const CipherClass& Class() const = 0;
    // The block the class encrypts in ECB mode from the self-test input (see SelfTest).
    virtual std::string KnownAnswer() const = 0;

    TCipherMode Mode = TCipherMode::cmCBC;
    // The hash that InitKey derives keys with (none by default: set one to use InitKey).
    const HashClass* KeyHashClass = nullptr;

    std::size_t BlockSize() const { return context_.BlockSize; }
    std::size_t KeySize() const { return context_.KeySize; }
    std::size_t ScheduleSize() const { return context_.ScheduleSize; }
    std::span<const std::uint8_t> InitVector() const { return initVector_; }
    std::span<const std::uint8_t> Feedback() const { return feedback_; }
    std::span<const std::uint8_t> Scratch() const { return scratch_; }

    bool GetFlag(int index) const { return (flags_ >> index) & 1; }
    virtual void SetFlag(int index, bool on);

    // Key setup: CheckKeySize, the class's schedule, SetVector. A null iv makes the
    // vector the encryption of an all-0xFF block under the new key.
    virtual void Init(const void* key, int size, const void* iv = nullptr);
    // The key is the digest of `text` by KeyHashClass, cut to KeySize.
    void InitKey(std::string_view text, const void* iv = nullptr);
    virtual void SetVector(const void* iv);
    virtual void ResetFeedback();
    virtual void WipeKey();

    virtual void EncryptBlock(void* block) = 0;
    virtual void DecryptBlock(void* block) = 0;

    // Code size bytes in the current Mode; source and destination may coincide.
    void EncryptData(const void* source, void* destination, std::size_t size);
    void DecryptData(const void* source, void* destination, std::size_t size);
    // In place.
    void EncodeBuffer(void* buffer, std::size_t size) { EncryptData(buffer, buffer, size); }
    void DecodeBuffer(void* buffer, std::size_t size) { DecryptData(buffer, buffer, size); }

    void StartAction(TProtectionAction action) override;
    void FinishAction(TProtectionAction action) override;
    void ProcessChunk(void* buffer, std::size_t size, TProtectionAction action) override;
    // Refuses a run this cipher would stop in the middle of: uninitialised (code 3), or
    // in ECB mode not a whole number of blocks (code 4).
    void CheckRunSize(std::uint64_t size, TProtectionAction action) const override;

protected:
    // Clears the initialised flag and wipes; a negative size becomes 0, one above
    // KeySize is cut or, with StrictKeySize, refused.
    void CheckKeySize(int& size);
    // The class's key schedule from `size` bytes (size already checked).
    virtual void SetupKey(const std::uint8_t* key, std::size_t size) = 0;
    // The expanded key and working state of the class (ScheduleSize bytes).
    virtual std::span<std::uint8_t> Schedule() = 0;
    [[noreturn]] void keySizeError(std::size_t smallest) const;
    // The whole blocks of the chaining modes (see BlockChain.h); classes with an inline
    // block transform run the same loop without a virtual call per block.
    virtual void ChainBlocks(const std::uint8_t* in, std::uint8_t* out, std::size_t whole,
                             bool xorChain, bool mac);
    std::uint8_t* feedbackData() { return feedback_.data(); }
    std::uint8_t* scratchData() { return scratch_.data(); }

private:
    void checkInitialized() const;
    // Initialised, and in ECB mode a whole number of blocks.
    void checkCodingSize(std::uint64_t size) const;
    void encryptScratchFromFeedback();
    void finalPiece(const std::uint8_t* in, std::uint8_t* out, std::size_t r);
    void shiftFeedback(std::uint8_t last);
    void restartFeedback(TProtectionAction action);

    CipherContext context_;
    std::vector<std::uint8_t> scratch_, initVector_, feedback_;
    std::uint32_t flags_ = 0;
};

// Runs the class's known-answer test: key bytes 0, 1, 2, ... (KeySize of them), ECB,
// one block of bytes 0, 1, 2, ...; true when it encrypts to KnownAnswer (hex) and back.
bool SelfTest(const CipherClass& cls);

} // namespace kd
