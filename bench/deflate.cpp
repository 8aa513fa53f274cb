// Compares our Deflate compressor with zlib's (raw deflate, window bits 15, memory
// level 8) on every file of the benchmark corpus, at levels 1, 6 and 9, in the same
// process, alternating per file. Prints size and speed ratios (ours / zlib).
// Then compares, for files of a megabyte or more, compression in memory on all threads
// with the streaming compressor (speed-up, and that the bytes are the same).
// Usage: bench_deflate [corpus-dir] [rounds] [levels]
//        (defaults: /tmp/kordyne-corpus, 3 rounds, levels "169")
#include "bench/BenchCorpus.h"
#include "zip/deflate/Deflater.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

using Sample = bench::CorpusFile;

bool inflatesTo(const std::vector<std::uint8_t>& packed, const std::vector<std::uint8_t>& data,
                bool stored) {
    if (stored)
        return packed == data;
    std::vector<std::uint8_t> out(data.size() + 1);
    z_stream zs{};
    inflateInit2(&zs, -15);
    zs.next_in = const_cast<Bytef*>(packed.data());
    zs.avail_in = static_cast<uInt>(packed.size());
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&zs, Z_FINISH);
    const bool ok = rc == Z_STREAM_END && zs.total_out == data.size() &&
                    std::equal(data.begin(), data.end(), out.begin());
    inflateEnd(&zs);
    return ok;
}

struct Totals {
    std::uint64_t input = 0, ours = 0, zlib = 0;
    double oursSeconds = 0, zlibSeconds = 0;
    unsigned failures = 0;
};

// Streams data through the compressor in the pieces it asks for, appending to out.
void deflateStreaming(kd::Deflater& deflater, const std::vector<std::uint8_t>& data, int level,
                      std::vector<std::uint8_t>& out, kd::DeflateEntry& entry) {
    std::size_t offset = 0;
    deflater.DeflateStream(
        [&](std::uint8_t* buffer, std::size_t size) {
            const std::size_t n = std::min(size, data.size() - offset);
            std::memcpy(buffer, data.data() + offset, n);
            offset += n;
            return n;
        },
        [&](const std::uint8_t* bytes, std::size_t size) {
            out.insert(out.end(), bytes, bytes + size);
        },
        level, entry);
}

Totals runLevel(const std::vector<Sample>& samples, int level, int rounds) {
    kd::Deflater deflater;
    z_stream zs{};
    deflateInit2(&zs, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::size_t largest = 0;
    for (const Sample& s : samples)
        largest = std::max(largest, s.data.size());
    std::vector<std::uint8_t> zout(deflateBound(&zs, static_cast<uLong>(largest)) + 64);
    std::vector<std::uint8_t> ours;
    ours.reserve(zout.size());

    Totals totals;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::vector<std::uint8_t>& data = samples[i].data;
        double bestOurs = 1e30, bestZlib = 1e30;
        std::size_t zlibSize = 0;
        kd::DeflateEntry entry;
        for (int round = 0; round < rounds; ++round) {
            auto runOurs = [&] {
                ours.clear();
                entry = kd::DeflateEntry{};
                const auto start = Clock::now();
                deflateStreaming(deflater, data, level, ours, entry);
                bestOurs = std::min(bestOurs, bench::seconds(Clock::now() - start));
            };
            auto runZlib = [&] {
                const auto start = Clock::now();
                deflateReset(&zs);
                zs.next_in = const_cast<Bytef*>(data.data());
                zs.avail_in = static_cast<uInt>(data.size());
                zs.next_out = zout.data();
                zs.avail_out = static_cast<uInt>(zout.size());
                deflate(&zs, Z_FINISH);
                bestZlib = std::min(bestZlib, bench::seconds(Clock::now() - start));
                zlibSize = zs.total_out;
            };
            if ((i + round) % 2 == 0) {
                runOurs();
                runZlib();
            } else {
                runZlib();
                runOurs();
            }
        }
        if (!inflatesTo(ours, data, entry.Method == 0)) {
            std::fprintf(stderr, "level %d: output for %s does not inflate back\n", level,
                         samples[i].path.c_str());
            ++totals.failures;
        }
        totals.input += data.size();
        totals.ours += ours.size();
        totals.zlib += zlibSize;
        totals.oursSeconds += bestOurs;
        totals.zlibSeconds += bestZlib;
    }
    deflateEnd(&zs);
    return totals;
}

// Files of at least a megabyte compressed in memory on the machine's threads against the
// streaming compressor: the speed-up, and whether every output is the same (also with
// small parts, which join the parts' parses far more often).
unsigned compareInMemory(const std::vector<Sample>& samples, int level, int rounds) {
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const std::atomic<bool> cancel = false;
    kd::Deflater streaming, parallel, finelySplit;
    finelySplit.SetSegmentSize(65536);
    double streamSeconds = 0, parallelSeconds = 0;
    std::uint64_t input = 0;
    unsigned different = 0;
    std::vector<std::uint8_t> padded, a, b, c;
    for (const Sample& sample : samples) {
        if (sample.data.size() < (1u << 20))
            continue;
        padded = sample.data;
        padded.resize(sample.data.size() + kd::DeflateReadSlack);
        const auto sink = [](std::vector<std::uint8_t>& out) {
            return [&out](const std::uint8_t* bytes, std::size_t n) {
                out.insert(out.end(), bytes, bytes + n);
            };
        };
        double bestStream = 1e30, bestParallel = 1e30;
        for (int round = 0; round < rounds; ++round) {
            a.clear();
            b.clear();
            kd::DeflateEntry e1, e2;
            auto start = Clock::now();
            deflateStreaming(streaming, sample.data, level, a, e1);
            bestStream = std::min(bestStream, bench::seconds(Clock::now() - start));
            start = Clock::now();
            parallel.DeflateInMemory(
                padded.data(), sample.data.size(), level, threads, sink(b), e2, [](std::size_t) {},
                cancel);
            bestParallel = std::min(bestParallel, bench::seconds(Clock::now() - start));
        }
        c.clear();
        kd::DeflateEntry e3;
        finelySplit.DeflateInMemory(
            padded.data(), sample.data.size(), level, threads, sink(c), e3, [](std::size_t) {},
            cancel);
        if (a != b || a != c) {
            std::fprintf(stderr, "level %d: %s differs when compressed in parts\n", level,
                         sample.path.c_str());
            ++different;
        }
        input += sample.data.size();
        streamSeconds += bestStream;
        parallelSeconds += bestParallel;
    }
    std::printf("level %d, files of 1 MB or more (%.1f MB): one thread %.1f MB/s, %d threads "
                "%.1f MB/s, speed-up %.2f, %s\n",
                level, input / 1e6, input / streamSeconds / 1e6, threads,
                input / parallelSeconds / 1e6, streamSeconds / parallelSeconds,
                different == 0 ? "same bytes" : "OUTPUTS DIFFER");
    return different;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::corpusDirectory(argc, argv);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string levels = argc > 3 ? argv[3] : "169";
    const std::vector<Sample> samples = bench::loadCorpus(dir);
    std::uint64_t bytes = 0;
    for (const Sample& s : samples)
        bytes += s.data.size();
    std::printf("corpus %s: %zu files, %.1f MB, best of %d rounds per file\n", dir.c_str(),
                samples.size(), bytes / 1e6, rounds);
    std::printf("level  ours bytes  zlib bytes  size ratio  ours MB/s  zlib MB/s  speed ratio\n");
    unsigned failures = 0;
    for (const char digit : levels) {
        const int level = digit - '0';
        if (level < 1 || level > 9)
            continue;
        const Totals t = runLevel(samples, level, rounds);
        failures += t.failures;
        std::printf("%5d  %10llu  %10llu  %10.4f  %9.1f  %9.1f  %11.3f\n", level,
                    static_cast<unsigned long long>(t.ours),
                    static_cast<unsigned long long>(t.zlib),
                    static_cast<double>(t.ours) / static_cast<double>(t.zlib),
                    t.input / t.oursSeconds / 1e6, t.input / t.zlibSeconds / 1e6,
                    t.zlibSeconds / t.oursSeconds);
        std::fflush(stdout);
    }
    for (const char digit : levels)
        if (digit >= '4' && digit <= '9')
            failures += compareInMemory(samples, digit - '0', rounds);
    if (failures > 0)
        std::printf("%u outputs failed to inflate or differ\n", failures);
    return failures == 0 ? 0 : 1;
}
