#pragma once
// The hash frame: Init, Update, Final over a digest that the protection operations can
// also turn into a keystream; its classes are known through HashClass descriptors.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "crypto/base/Protection.h"

namespace kd {

class THash;

// What a class of hash offers without an instance: its name, a factory and the class
// operations built on them.
class HashClass {
public:
    using Factory = std::function<std::shared_ptr<THash>(std::shared_ptr<TProtection>)>;
    HashClass(std::string_view className, Factory factory)
        : className_(className), factory_(std::move(factory)) {}

    const std::string& ClassName() const { return className_; }
    std::shared_ptr<THash> Create(std::shared_ptr<TProtection> protection = {}) const {
        return factory_(std::move(protection));
    }
    std::size_t DigestSize() const;
    // The digest of text's bytes by a new instance chained to protection, in the format
    // formatId (1: raw bytes, -1: the default format).
    std::string DigestOfText(std::string_view text, std::shared_ptr<TProtection> protection = {},
                             int formatId = -1) const;

private:
    std::string className_;
    Factory factory_;
};

// The descriptor of class T (T names itself by a static kClassName).
template <class T> const HashClass& HashClassOf() {
    static const HashClass cls(T::kClassName, [](std::shared_ptr<TProtection> protection) {
        return std::static_pointer_cast<THash>(std::make_shared<T>(std::move(protection)));
    });
    return cls;
}

// Declares the class operations of a concrete hash class inside its body.
#define KD_HASH_CLASS(Name)                                                                        \
public:                                                                                            \
    static constexpr const char* kClassName = #Name;                                               \
    const HashClass& Class() const override {                                                      \
        return HashClassOf<Name>();                                                                \
    }

class THash : public TProtection {
public:
    using TProtection::TProtection;

    void StartAction(TProtectionAction action) override;
    void FinishAction(TProtectionAction action) override;
    void ProcessChunk(void* buffer, std::size_t size, TProtectionAction action) override;

    // Resets to the algorithm's initial values, then runs the start hook.
    virtual void Init();
    virtual void Update(const void* data, std::size_t size);
    // Completes the digest, then runs the end hook.
    virtual void Final();
    // The digest bytes inside the object (DigestSize of them).
    virtual std::uint8_t* Digest() = 0;
    virtual std::size_t DigestSize() const = 0;
    virtual const HashClass& Class() const = 0;
    // A digest of the class's own published test input ("abc" unless noted), or empty.
    virtual std::string KnownAnswer() const { return {}; }

    std::string DigestBytes() {
        return std::string(reinterpret_cast<const char*>(Digest()), DigestSize());
    }
    std::string DigestText(int formatId = -1);

protected:
    // Called at the end of Init and of Final by every algorithm.
    void StartHook();
    void EndHook();
};

// The common base of the XOR and CRC checksums.
class TChecksum : public THash {
public:
    using THash::THash;
};

} // namespace kd
