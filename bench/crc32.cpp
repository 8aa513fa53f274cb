// Times our CRC-32 against zlib's crc32() on the benchmark corpus, in the same run.
// Usage: bench_crc32 [CORPUS_DIR]   (default /tmp/kordyne-corpus; built when missing)
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchCorpus.h"
#include "zip/format/Crc32.h"
#include "zip/format/Crc32Impl.h"

namespace {

// Best of several rounds over every file, in seconds; sum receives the CRCs' xor.
double timeRounds(const std::vector<bench::CorpusFile>& files, int rounds, std::uint32_t& sum,
                  const std::function<std::uint32_t(const bench::CorpusFile&)>& crc) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        std::uint32_t x = 0;
        const auto start = std::chrono::steady_clock::now();
        for (const auto& f : files)
            x ^= crc(f);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        sum = x;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::corpusDirectory(argc, argv);
    const auto files = bench::loadCorpus(dir);
    std::size_t bytes = 0;
    for (const auto& f : files)
        bytes += f.data.size();

    const int rounds = 7;
    std::uint32_t zlibSum = 0, ourSum = 0, portableSum = 0;
    const double zlibTime = timeRounds(files, rounds, zlibSum, [](const bench::CorpusFile& f) {
        return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(f.data.data()),
                                                static_cast<uInt>(f.data.size())));
    });
    const double ourTime = timeRounds(files, rounds, ourSum, [](const bench::CorpusFile& f) {
        return kd::Crc32Update(0, f.data.data(), f.data.size());
    });
    const double portableTime =
        timeRounds(files, rounds, portableSum, [](const bench::CorpusFile& f) {
            return ~kd::crc32_detail::updatePortable(
                ~0u, reinterpret_cast<const std::uint8_t*>(f.data.data()), f.data.size());
        });
    if (ourSum != zlibSum || portableSum != zlibSum) {
        std::fprintf(stderr, "CRC mismatch: zlib %08x, ours %08x, portable %08x\n", zlibSum, ourSum,
                     portableSum);
        return 1;
    }
    const double mb = static_cast<double>(bytes) / 1e6;
    std::printf("corpus: %zu files, %.1f MB, best of %d rounds\n", files.size(), mb, rounds);
    std::printf("zlib crc32:          %8.0f MB/s\n", mb / zlibTime);
    std::printf("kd Crc32Update:      %8.0f MB/s  (%s)\n", mb / ourTime,
                kd::crc32_detail::clmulAvailable() ? "carry-less multiply" : "slice-by-16");
    std::printf("kd slice-by-16 only: %8.0f MB/s\n", mb / portableTime);
    std::printf("ratio kd/zlib: %.2fx (slice-by-16 alone: %.2fx)\n", zlibTime / ourTime,
                zlibTime / portableTime);
    return 0;
}
