// Times our CRC-32 against zlib's crc32() on the benchmark corpus, in the same run.
// Usage: bench_crc32 [CORPUS_DIR]   (default /tmp/kordyne-corpus; built when missing)
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "zip/Crc32.h"
#include "zip/Crc32Impl.h"

namespace fs = std::filesystem;

namespace {

std::string findCorpusScript() {
    std::vector<fs::path> candidates;
    if (const char* shared = std::getenv("KORDYNE_SHARED_DIR"))
        candidates.emplace_back(fs::path(shared) / "bench/make-corpus.sh");
    const fs::path repo = fs::path(__FILE__).parent_path().parent_path();
    candidates.push_back(repo.parent_path() / "shared/bench/make-corpus.sh");
    candidates.emplace_back("/work/shared/bench/make-corpus.sh");
    for (const auto& c : candidates)
        if (fs::exists(c))
            return c.string();
    return {};
}

std::vector<std::string> loadCorpus(const std::string& dir) {
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            files.emplace_back(std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>());
        }
    return files;
}

// Best of several rounds over every file, in seconds; sum receives the CRCs' xor.
double timeRounds(const std::vector<std::string>& files, int rounds, std::uint32_t& sum,
                  const std::function<std::uint32_t(const std::string&)>& crc) {
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
    const std::string dir = argc > 1 ? argv[1] : "/tmp/kordyne-corpus";
    if (!fs::exists(dir)) {
        const std::string script = findCorpusScript();
        if (script.empty()) {
            std::fprintf(stderr, "corpus %s missing and make-corpus.sh not found\n", dir.c_str());
            return 1;
        }
        if (std::system(("sh '" + script + "' '" + dir + "' >/dev/null").c_str()) != 0)
            return 1;
    }
    const auto files = loadCorpus(dir);
    std::size_t bytes = 0;
    for (const auto& f : files)
        bytes += f.size();

    const int rounds = 7;
    std::uint32_t zlibSum = 0, ourSum = 0, portableSum = 0;
    const double zlibTime = timeRounds(files, rounds, zlibSum, [](const std::string& f) {
        return static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(f.data()), static_cast<uInt>(f.size())));
    });
    const double ourTime = timeRounds(files, rounds, ourSum, [](const std::string& f) {
        return kd::Crc32Update(0, f.data(), f.size());
    });
    const double portableTime = timeRounds(files, rounds, portableSum, [](const std::string& f) {
        return ~kd::crc32_detail::updatePortable(
            ~0u, reinterpret_cast<const std::uint8_t*>(f.data()), f.size());
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
