// Times our Blowfish and IDEA in CBC mode against OpenSSL's (legacy provider) on the
// same buffer in the same run, and checks that both produce the same bytes.
// Usage: bench_crypto_cipher [MEBIBYTES]   (default 32)
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "crypto/cipher/classes/SimpleCiphers.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Best times of two contenders over `rounds` rounds, run alternately so that a change
// in the machine's load hits both alike.
std::pair<double, double> bestOfAlternating(int rounds, const std::function<void()>& a,
                                            const std::function<void()>& b) {
    double bestA = 1e30, bestB = 1e30;
    auto time = [](const std::function<void()>& run) {
        const auto start = std::chrono::steady_clock::now();
        run();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (int r = 0; r < rounds; ++r) {
        bestA = std::min(bestA, time(a));
        bestB = std::min(bestB, time(b));
    }
    return {bestA, bestB};
}

bool opensslCbc(const EVP_CIPHER* cipher, const Bytes& key, const Bytes& iv, const Bytes& in,
                Bytes& out) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int n = 0, m = 0;
    const bool ok =
        ctx && EVP_EncryptInit_ex(ctx, cipher, nullptr, nullptr, nullptr) == 1 &&
        EVP_CIPHER_CTX_set_key_length(ctx, static_cast<int>(key.size())) == 1 &&
        EVP_EncryptInit_ex(ctx, nullptr, nullptr, key.data(), iv.data()) == 1 &&
        EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
        EVP_EncryptUpdate(ctx, out.data(), &n, in.data(), static_cast<int>(in.size())) == 1 &&
        EVP_EncryptFinal_ex(ctx, out.data() + n, &m) == 1;
    EVP_CIPHER_CTX_free(ctx);
    return ok;
}

// Prints one line; false when the outputs differ.
bool compare(const char* name, const char* opensslName, kd::TCipher& ours, const Bytes& data,
             int rounds) {
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, opensslName, "provider=legacy");
    if (!cipher) {
        std::printf("%-10s OpenSSL has no %s here: skipped\n", name, opensslName);
        return true;
    }
    Bytes key(16), iv(8);
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<unsigned char>(i * 13 + 1);
    for (std::size_t i = 0; i < iv.size(); ++i)
        iv[i] = static_cast<unsigned char>(i * 7 + 3);
    Bytes theirs(data.size() + 16), mine(data.size());
    ours.Mode = kd::TCipherMode::cmCBC;
    ours.Init(key.data(), static_cast<int>(key.size()), iv.data());
    const auto [tOpenssl, tOurs] = bestOfAlternating(
        rounds, [&] { opensslCbc(cipher, key, iv, data, theirs); },
        [&] {
            ours.ResetFeedback(); // both write to a buffer of their own
            ours.EncryptData(data.data(), mine.data(), data.size());
        });
    EVP_CIPHER_free(cipher);
    const bool same = std::equal(mine.begin(), mine.end(), theirs.begin());
    const double mib = static_cast<double>(data.size()) / (1 << 20);
    std::printf("%-10s ours %8.1f MiB/s  OpenSSL %8.1f MiB/s  ratio %.2fx%s\n", name, mib / tOurs,
                mib / tOpenssl, tOpenssl / tOurs, same ? "" : "  OUTPUT DIFFERS");
    return same;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 32;
    if (!OSSL_PROVIDER_load(nullptr, "legacy") || !OSSL_PROVIDER_load(nullptr, "default"))
        std::printf("OpenSSL's legacy provider could not be loaded\n");
    Bytes data(mib << 20);
    std::uint32_t x = 1;
    for (auto& b : data) {
        x = x * 1103515245u + 12345u;
        b = static_cast<unsigned char>(x >> 24);
    }
    std::printf("CBC over %zu MiB, best of 9 alternating runs; ratio = OpenSSL time / our time\n",
                mib);
    kd::TCipher_Blowfish blowfish;
    kd::TCipher_IDEA idea;
    bool ok = compare("Blowfish", "BF-CBC", blowfish, data, 9);
    ok = compare("IDEA", "IDEA-CBC", idea, data, 9) && ok;
    return ok ? 0 : 1;
}
