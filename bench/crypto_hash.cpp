// Times our MD5, SHA-1 and RIPEMD-160 against OpenSSL's on the same buffer in the same
// run and prints the speed ratios with their targets. Usage: bench_crypto_hash [MiB]
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "crypto/startup/CryptoLibrary.h"
#include "crypto/hash/HashRegistry.h"

namespace {

// Best of several rounds, in seconds; digest receives the last round's digest.
double timeRounds(int rounds, std::string& digest, const std::function<std::string()>& run) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        digest = run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

std::string openSslDigest(const EVP_MD* md, const std::vector<unsigned char>& data) {
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(data.data(), data.size(), out, &size, md, nullptr);
    return std::string(reinterpret_cast<const char*>(out), size);
}

std::string ourDigest(const kd::HashClass& cls, const std::vector<unsigned char>& data) {
    const auto hash = cls.Create();
    hash->Init();
    hash->Update(data.data(), data.size());
    hash->Final();
    return hash->DigestBytes();
}

struct Case {
    const char* label;
    const char* ourClass;
    const char* openSslName;
    double target;
};

} // namespace

int main(int argc, char** argv) {
    kd::InitializeCryptoLibrary();
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    std::vector<unsigned char> data(mib << 20);
    std::mt19937 rng(1);
    for (auto& b : data)
        b = static_cast<unsigned char>(rng());
    // RIPEMD-160 sits in the legacy provider of some OpenSSL builds.
    OSSL_PROVIDER* defaultProvider = OSSL_PROVIDER_load(nullptr, "default");
    OSSL_PROVIDER* legacyProvider = OSSL_PROVIDER_try_load(nullptr, "legacy", 1);

    const Case cases[] = {{"MD5", "THash_MD5", "MD5", 0.9},
                          {"SHA-1", "THash_SHA1", "SHA1", 0.5},
                          {"RIPEMD-160", "THash_RipeMD160", "RIPEMD160", 0.9}};
    const int rounds = 5;
    int status = 0;
    std::printf("buffer: %zu MiB of random bytes, best of %d rounds\n", mib, rounds);
    for (const auto& c : cases) {
        const kd::HashClass* cls = kd::FindHashClass(c.ourClass);
        EVP_MD* md = EVP_MD_fetch(nullptr, c.openSslName, nullptr);
        if (!cls || !md) {
            std::printf("%-11s skipped (%s)\n", c.label, cls ? "not in OpenSSL" : "not built");
            EVP_MD_free(md);
            continue;
        }
        std::string theirs, ours;
        const double theirTime = timeRounds(rounds, theirs, [&] { return openSslDigest(md, data); });
        const double ourTime = timeRounds(rounds, ours, [&] { return ourDigest(*cls, data); });
        EVP_MD_free(md);
        const double mb = double(data.size()) / 1e6;
        const double ratio = theirTime / ourTime;
        std::printf("%-11s OpenSSL %7.0f MB/s  kd %7.0f MB/s  ratio kd/OpenSSL %.2fx (target >= "
                    "%.1fx) %s\n",
                    c.label, mb / theirTime, mb / ourTime, ratio, c.target,
                    ratio >= c.target ? "ok" : "BELOW TARGET");
        if (theirs != ours) {
            std::fprintf(stderr, "%s: digests differ\n", c.label);
            status = 1;
        }
    }
    OSSL_PROVIDER_unload(legacyProvider);
    OSSL_PROVIDER_unload(defaultProvider);
    return status;
}
