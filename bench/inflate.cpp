// Inflate speed against zlib: every corpus file is deflated once by zlib (raw,
// level 6); then all streams are inflated by our decoder and by zlib, alternating,
// and the best round of each is compared.
// Usage: bench_inflate [CORPUS_DIR]   (default /tmp/kordyne-corpus, built if missing)
#include "zip/DecompressIO.h"
#include "zip/InflateDecoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <zlib.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Sample {
    std::size_t size;
    Bytes stream;
};

class SpanInput : public kd::DecompressInput {
public:
    explicit SpanInput(const Bytes& data) : data_(data) {}
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

std::string FindCorpusScript() {
    const fs::path root = fs::path(__FILE__).parent_path().parent_path();
    for (const fs::path& p : {root / "../shared/bench/make-corpus.sh", root / "../../shared/bench/make-corpus.sh"})
        if (fs::exists(p))
            return p.string();
    return {};
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/kordyne-corpus";
    if (!fs::exists(dir)) {
        const std::string script = FindCorpusScript();
        std::string command = "sh '";
        command.append(script).append("' '").append(dir).append("' >/dev/null");
        if (script.empty() || std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "no corpus at %s and it cannot be built\n", dir.c_str());
            return 1;
        }
    }
    std::vector<Sample> samples;
    std::size_t totalIn = 0, totalPacked = 0;
    for (const auto& item : fs::recursive_directory_iterator(dir)) {
        if (!item.is_regular_file() || item.is_symlink())
            continue;
        std::ifstream in(item.path(), std::ios::binary);
        const Bytes data((std::istreambuf_iterator<char>(in)), {});
        samples.push_back({data.size(), Deflate(data)});
        totalIn += data.size();
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
        ours = std::min(ours, Seconds(std::chrono::steady_clock::now() - start));
        start = std::chrono::steady_clock::now();
        for (const Sample& s : samples)
            ZlibInflate(s.stream, buffer);
        zlib = std::min(zlib, Seconds(std::chrono::steady_clock::now() - start));
    }
    const double mb = static_cast<double>(totalIn) / 1e6;
    std::printf("corpus: %zu files, %.1f MB, deflated (zlib level 6) to %.1f MB\n", samples.size(), mb,
                static_cast<double>(totalPacked) / 1e6);
    std::printf("inflate ours: %.0f MB/s   zlib %s: %.0f MB/s   ratio ours/zlib: %.2f\n", mb / ours,
                zlibVersion(), mb / zlib, zlib / ours);
    return 0;
}
