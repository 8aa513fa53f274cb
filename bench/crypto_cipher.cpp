// Times our Blowfish and IDEA in CBC mode against OpenSSL's (legacy provider) on the
// same buffer in the same run, and checks that both produce the same bytes; then
// Square (CBC and the hash built on it) and SHARK, which OpenSSL lacks, against our
// Twofish. Usage: bench_crypto_cipher [MEBIBYTES]   (default 32)
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "crypto/cipher/classes/SimpleCiphers.h"
#include "crypto/hash/Square.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Best time of each contender over `rounds` rounds, run in turn so that a change in
// the machine's load hits all alike.
std::vector<double> bestOfAlternating(int rounds, const std::vector<std::function<void()>>& runs) {
    std::vector<double> best(runs.size(), 1e30);
    for (int r = 0; r < rounds; ++r)
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            runs[i]();
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            best[i] = std::min(best[i], took.count());
        }
    return best;
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
    const auto times = bestOfAlternating(
        rounds, {[&] { opensslCbc(cipher, key, iv, data, theirs); },
                 [&] {
                     ours.ResetFeedback(); // both write to a buffer of their own
                     ours.EncryptData(data.data(), mine.data(), data.size());
                 }});
    const double tOpenssl = times[0], tOurs = times[1];
    EVP_CIPHER_free(cipher);
    const bool same = std::equal(mine.begin(), mine.end(), theirs.begin());
    const double mib = static_cast<double>(data.size()) / (1 << 20);
    std::printf("%-10s ours %8.1f MiB/s  OpenSSL %8.1f MiB/s  ratio %.2fx%s\n", name, mib / tOurs,
                mib / tOpenssl, tOpenssl / tOurs, same ? "" : "  OUTPUT DIFFERS");
    return same;
}

// Square's CBC and hash and SHARK's CBC against Twofish's CBC; Square is to run at a
// third of Twofish's speed at least.
void againstTwofish(const Bytes& data, int rounds) {
    kd::TCipher_Twofish twofish;
    kd::TCipher_Square square;
    kd::TCipher_Shark shark;
    kd::THash_Square squareHash;
    Bytes key(16), out(data.size());
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<unsigned char>(i * 13 + 1);
    auto cbc = [&](kd::TCipher& c) {
        c.Mode = kd::TCipherMode::cmCBC;
        c.Init(key.data(), static_cast<int>(key.size()));
        return [&] {
            c.ResetFeedback();
            c.EncryptData(data.data(), out.data(), data.size());
        };
    };
    const auto times = bestOfAlternating(rounds, {cbc(twofish), cbc(square), cbc(shark), [&] {
                                                      squareHash.Init();
                                                      squareHash.Update(data.data(), data.size());
                                                      squareHash.Final();
                                                  }});
    const double mib = static_cast<double>(data.size()) / (1 << 20);
    const char* labels[] = {"Twofish", "Square", "SHARK", "Square hash"};
    for (std::size_t i = 0; i < times.size(); ++i)
        std::printf("%-11s %8.1f MiB/s  %.2fx Twofish's speed%s\n", labels[i], mib / times[i],
                    times[0] / times[i],
                    i == 1 ? (times[0] / times[1] >= 1.0 / 3 ? "  (target >= 0.33x) ok"
                                                             : "  (target >= 0.33x) BELOW TARGET")
                           : "");
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
    std::printf("\nCBC (the hash: its digest) over the same buffer, best of 5 runs in turn\n");
    againstTwofish(data, 5);
    return ok ? 0 : 1;
}
