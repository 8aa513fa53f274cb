// Inflate speed against zlib: every corpus file is deflated once by zlib (raw,
// level 6); then all streams are inflated by our decoder and by zlib, alternating,
// and the best round of each is compared. Then the corpus's largest file is
// inflated on one thread and with helpers on the other cores.
// Usage: bench_inflate [CORPUS_DIR]   (default /tmp/kordyne-corpus, built if missing)
#include "bench/BenchCorpus.h"
#include "zip/base/ThreadPool.h"
#include "zip/decompress/DecompressIO.h"
#include "zip/decompress/InflateDecoder.h"
#include "zip/decompress/ParallelInflate.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <zlib.h>

using Bytes = std::vector<std::uint8_t>;

namespace {

struct Sample {
    std::size_t size;
    Bytes stream;
};

class SpanInput : public kd::DecompressInput {
public:
    explicit SpanInput(const Bytes& data) : data_(data) {}
    std::uint64_t Remaining() const override { return data_.size() - pos_; }
    std::size_t Read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::size_t n = std::min(capacity, data_.size() - pos_);
        std::memcpy(buffer, data_.data() + pos_, n);
        pos_ += n;
        return n;
    }

private:
    const Bytes& data_;
    std::size_t pos_ = 0;
};

class CheckedOutput : public kd::DecompressOutput {
public:
    void Write(const std::uint8_t* data, std::size_t length) override {
        total += length;
        crc = crc32(crc, data, static_cast<uInt>(length));
    }
    std::size_t total = 0;
    uLong crc = 0;
};

class CountingOutput : public kd::DecompressOutput {
public:
    void Write(const std::uint8_t* data, std::size_t length) override {
        total += length;
        if (length)
            last ^= data[length - 1];
    }
    std::size_t total = 0;
    std::uint8_t last = 0;
};

Bytes Deflate(const Bytes& data) {
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, data.size()) + 64);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::size_t ZlibInflate(const Bytes& stream, Bytes& buffer) {
    z_stream z{};
    inflateInit2(&z, -15);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    int rc;
    do {
        z.next_out = buffer.data();
        z.avail_out = static_cast<uInt>(buffer.size());
        rc = inflate(&z, Z_NO_FLUSH);
    } while (rc == Z_OK);
    const std::size_t total = z.total_out;
    inflateEnd(&z);
    if (rc != Z_STREAM_END) {
        std::fprintf(stderr, "zlib failed on its own stream\n");
        std::exit(1);
    }
    return total;
}

// The largest stream on one thread, then with helpers: best of several rounds each.
void largestOnThreads(const std::vector<Sample>& samples, kd::InflateDecoder& decoder) {
    const Sample& large =
        *std::max_element(samples.begin(), samples.end(),
                          [](const Sample& a, const Sample& b) { return a.size < b.size; });
    const int helpers = kd::ThreadPool::Cores() - 1;
    kd::ThreadPool pool(helpers);
    const kd::InflateHelpers help{[&pool](std::function<void()> task) { pool.Submit(task); },
                                  static_cast<unsigned>(helpers)};
    double one = 1e30, many = 1e30;
    std::size_t used = 0;
    for (int round = 0; round < 15; ++round) {
        SpanInput input(large.stream), again(large.stream);
        CheckedOutput output, output2;
        auto start = std::chrono::steady_clock::now();
        decoder.Run(input, output);
        one = std::min(one, bench::seconds(std::chrono::steady_clock::now() - start));
        start = std::chrono::steady_clock::now();
        used = kd::ParallelInflate(again, decoder, output2, help);
        many = std::min(many, bench::seconds(std::chrono::steady_clock::now() - start));
        if (output2.total != large.size || output2.crc != output.crc) {
            std::fprintf(stderr, "inflate on threads gave other bytes: %zu of %zu\n", output2.total,
                         large.size);
            std::exit(1);
        }
    }
    std::printf("largest file, %.1f MB: one thread %.1f ms, with %d helpers %.1f ms "
                "(%zu pieces by helpers), ratio %.2f\n",
                static_cast<double>(large.size) / 1e6, one * 1e3, helpers, many * 1e3, used,
                many / one);
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = bench::corpusDirectory(argc, argv);
    std::vector<Sample> samples;
    std::size_t totalIn = 0, totalPacked = 0;
    for (const bench::CorpusFile& file : bench::loadCorpus(dir)) {
        samples.push_back({file.data.size(), Deflate(file.data)});
        totalIn += file.data.size();
        totalPacked += samples.back().stream.size();
    }

    kd::InflateDecoder decoder;
    for (const Sample& s : samples) { // check before timing
        SpanInput input(s.stream);
        CountingOutput output;
        decoder.Run(input, output);
        if (output.total != s.size) {
            std::fprintf(stderr, "our inflate gave a wrong size\n");
            return 1;
        }
    }

    Bytes buffer(256 * 1024);
    double ours = 1e30, zlib = 1e30;
    for (int round = 0; round < 7; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (const Sample& s : samples) {
            SpanInput input(s.stream);
            CountingOutput output;
            decoder.Run(input, output);
        }
        ours = std::min(ours, bench::seconds(std::chrono::steady_clock::now() - start));
        start = std::chrono::steady_clock::now();
        for (const Sample& s : samples)
            ZlibInflate(s.stream, buffer);
        zlib = std::min(zlib, bench::seconds(std::chrono::steady_clock::now() - start));
    }
    const double mb = static_cast<double>(totalIn) / 1e6;
    std::printf("corpus: %zu files, %.1f MB, deflated (zlib level 6) to %.1f MB\n", samples.size(),
                mb, static_cast<double>(totalPacked) / 1e6);
    std::printf("inflate ours: %.0f MB/s   zlib %s: %.0f MB/s   ratio ours/zlib: %.2f\n", mb / ours,
                zlibVersion(), mb / zlib, zlib / ours);
    largestOnThreads(samples, decoder);
    return 0;
}
