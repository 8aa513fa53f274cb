// Our ciphers against independent implementations run as black boxes: OpenSSL's command
// line (legacy provider) and libgcrypt loaded at run time. A missing oracle skips.
#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/cipher/support/Vectors.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <dlfcn.h>
#include <fstream>
#include <memory>

namespace kd::test {
namespace {

Bytes pattern(std::size_t n, int seed) {
    Bytes b(n);
    std::uint32_t x = static_cast<std::uint32_t>(seed) * 2654435761u + 1;
    for (auto& v : b) {
        x = x * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(x >> 24);
    }
    return b;
}

// `openssl enc` over `data`, or nothing when the tool or the cipher is unavailable.
std::optional<Bytes> openssl(const std::string& cipher, const Bytes& key, const Bytes& iv,
                             const Bytes& data) {
    const std::string in = ::testing::TempDir() + "oracle-in.bin";
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    std::string cmd = "openssl enc -" + cipher + " -provider legacy -provider default -nopad -K " +
                      toHex(key) + (iv.empty() ? "" : " -iv " + toHex(iv)) + " -in " + in +
                      " 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(cmd.c_str(), "r"), ::pclose);
    if (!pipe)
        return std::nullopt;
    Bytes out(data.size() + 64);
    const std::size_t n = std::fread(out.data(), 1, out.size(), pipe.get());
    out.resize(n);
    if (n != data.size())
        return std::nullopt;
    return out;
}

Bytes ours(TCipher& c, TCipherMode mode, const Bytes& key, const Bytes& iv, Bytes data) {
    c.Mode = mode;
    c.Init(key.data(), static_cast<int>(key.size()), iv.empty() ? nullptr : iv.data());
    c.EncryptData(data.data(), data.data(), data.size());
    return data;
}

TEST(CipherOracles, OpenSslBlowfishAndIdea) {
    TCipher_Blowfish blowfish;
    TCipher_IDEA idea;
    struct Case {
        TCipher* c;
        std::string name;
        TCipherMode mode;
        std::size_t keyLength;
    };
    const Case cases[] = {{&blowfish, "bf-ecb", TCipherMode::cmECB, 16},
                          {&blowfish, "bf-cbc", TCipherMode::cmCBC, 16},
                          {&idea, "idea-ecb", TCipherMode::cmECB, 16},
                          {&idea, "idea-cbc", TCipherMode::cmCBC, 16}};
    int run = 0;
    for (const Case& k : cases) {
        const Bytes key = pattern(k.keyLength, 1), data = pattern(64, 2);
        const Bytes iv = k.mode == TCipherMode::cmCBC ? pattern(8, 3) : Bytes{};
        const auto expected = openssl(k.name, key, iv, data);
        if (!expected)
            continue;
        ++run;
        EXPECT_EQ(toHex(ours(*k.c, k.mode, key, iv, data)), toHex(*expected)) << k.name;
    }
    if (run == 0)
        GTEST_SKIP() << "openssl with the legacy provider is not available";
}

// A library loaded for the rest of the process, or null. Never closed: libgcrypt keeps
// state from its start-up, which the leak checker must still find in a loaded module.
void* openLibrary(const char* name) {
    return ::dlopen(name, RTLD_NOW);
}

// The few libgcrypt entry points we drive.
class Gcrypt {
public:
    Gcrypt() : lib_(openLibrary("libgcrypt.so.20")) {
        if (!lib_)
            return;
        sym(check_, "gcry_check_version");
        sym(open_, "gcry_cipher_open");
        sym(close_, "gcry_cipher_close");
        sym(setkey_, "gcry_cipher_setkey");
        sym(setiv_, "gcry_cipher_setiv");
        sym(encrypt_, "gcry_cipher_encrypt");
        if (check_)
            check_(nullptr);
    }
    bool ok() const { return lib_ && check_ && open_ && close_ && setkey_ && setiv_ && encrypt_; }

    // Algorithm and mode ids of libgcrypt's interface.
    static constexpr int kBlowfish = 4, kTwofish = 10, kTwofish128 = 303, kGost = 315;
    static constexpr int kEcb = 1, kCfb8 = 12;

    std::optional<Bytes> encrypt(int algo, int mode, const Bytes& key, const Bytes& iv,
                                 Bytes data) {
        void* h = nullptr;
        if (open_(&h, algo, mode, 0) != 0)
            return std::nullopt;
        std::optional<Bytes> result;
        if (setkey_(h, key.data(), key.size()) == 0 &&
            (iv.empty() || setiv_(h, iv.data(), iv.size()) == 0) &&
            encrypt_(h, data.data(), data.size(), nullptr, 0) == 0)
            result = data;
        close_(h);
        return result;
    }

private:
    template <class F> void sym(F& f, const char* name) {
        f = reinterpret_cast<F>(::dlsym(lib_, name));
    }

    void* lib_;
    const char* (*check_)(const char*) = nullptr;
    unsigned (*open_)(void**, int, int, unsigned) = nullptr;
    void (*close_)(void*) = nullptr;
    unsigned (*setkey_)(void*, const void*, std::size_t) = nullptr;
    unsigned (*setiv_)(void*, const void*, std::size_t) = nullptr;
    unsigned (*encrypt_)(void*, void*, std::size_t, const void*, std::size_t) = nullptr;
};

TEST(CipherOracles, Libgcrypt) {
    Gcrypt g;
    if (!g.ok())
        GTEST_SKIP() << "libgcrypt (libgcrypt20) is not installed";
    const Bytes data = pattern(96, 4);
    TCipher_Twofish twofish;
    for (std::size_t len : {16, 24, 32}) { // every schedule size
        const Bytes key = pattern(len, static_cast<int>(len));
        const auto expected = g.encrypt(len == 16 ? Gcrypt::kTwofish128 : Gcrypt::kTwofish,
                                        Gcrypt::kEcb, key, {}, data);
        if (expected) { // libgcrypt has no 192-bit Twofish; the validation file covers it
            EXPECT_EQ(toHex(ours(twofish, TCipherMode::cmECB, key, {}, data)), toHex(*expected))
                << "Twofish key " << len;
        }
    }
    TCipher_Blowfish blowfish;
    for (std::size_t len : {4, 16, 56}) {
        const Bytes key = pattern(len, 9);
        const auto expected = g.encrypt(Gcrypt::kBlowfish, Gcrypt::kEcb, key, {}, data);
        ASSERT_TRUE(expected);
        EXPECT_EQ(toHex(ours(blowfish, TCipherMode::cmECB, key, {}, data)), toHex(*expected))
            << "Blowfish key " << len;
    }
    // CFB8 with an odd length.
    const Bytes key = pattern(16, 5), iv = pattern(8, 6), odd = pattern(37, 7);
    const auto cfb = g.encrypt(Gcrypt::kBlowfish, Gcrypt::kCfb8, key, iv, odd);
    ASSERT_TRUE(cfb);
    EXPECT_EQ(toHex(ours(blowfish, TCipherMode::cmCFB8, key, iv, odd)), toHex(*cfb));

    TCipher_Gost gost;
    const Bytes gostKey = pattern(32, 8);
    const auto gostExpected = g.encrypt(Gcrypt::kGost, Gcrypt::kEcb, gostKey, {}, data);
    ASSERT_TRUE(gostExpected);
    EXPECT_EQ(toHex(ours(gost, TCipherMode::cmECB, gostKey, {}, data)), toHex(*gostExpected));
}

// Nettle's Twofish and CFB8, loaded at run time.
class Nettle {
public:
    using CipherFunc = void (*)(const void*, std::size_t, std::uint8_t*, const std::uint8_t*);

    Nettle() : lib_(openLibrary("libnettle.so.8")) {
        if (!lib_)
            return;
        setKey_ = reinterpret_cast<decltype(setKey_)>(::dlsym(lib_, "nettle_twofish_set_key"));
        encrypt_ = reinterpret_cast<CipherFunc>(::dlsym(lib_, "nettle_twofish_encrypt"));
        cfb8_ = reinterpret_cast<decltype(cfb8_)>(::dlsym(lib_, "nettle_cfb8_encrypt"));
    }
    bool ok() const { return lib_ && setKey_ && encrypt_ && cfb8_; }

    Bytes twofish(const Bytes& key, const Bytes& data) {
        setKey_(ctx_, key.size(), key.data());
        Bytes out(data.size());
        encrypt_(ctx_, data.size(), out.data(), data.data());
        return out;
    }
    Bytes twofishCfb8(const Bytes& key, Bytes iv, const Bytes& data) {
        setKey_(ctx_, key.size(), key.data());
        Bytes out(data.size());
        cfb8_(ctx_, encrypt_, 16, iv.data(), data.size(), out.data(), data.data());
        return out;
    }

private:
    void* lib_;
    void (*setKey_)(void*, std::size_t, const std::uint8_t*) = nullptr;
    CipherFunc encrypt_ = nullptr;
    void (*cfb8_)(const void*, CipherFunc, std::size_t, std::uint8_t*, std::size_t, std::uint8_t*,
                  const std::uint8_t*) = nullptr;
    alignas(16) std::uint8_t ctx_[8192] = {};
};

TEST(CipherOracles, NettleTwofishEveryKeyLengthAndCfb8) {
    Nettle n;
    if (!n.ok())
        GTEST_SKIP() << "nettle (libnettle8) is not installed";
    TCipher_Twofish twofish;
    const Bytes data = pattern(64, 11);
    for (std::size_t len = 1; len <= 32; ++len) {
        const Bytes key = pattern(len, 20 + static_cast<int>(len));
        EXPECT_EQ(toHex(ours(twofish, TCipherMode::cmECB, key, {}, data)),
                  toHex(n.twofish(key, data)))
            << "key length " << len;
    }
    const Bytes key = pattern(24, 3), iv = pattern(16, 4), odd = pattern(77, 5);
    EXPECT_EQ(toHex(ours(twofish, TCipherMode::cmCFB8, key, iv, odd)),
              toHex(n.twofishCfb8(key, iv, odd)));
}

} // namespace
} // namespace kd::test
