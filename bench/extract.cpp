// Times a whole extraction of a corpus archive (written by `zip -r -6`) into an empty
// directory with our engine (on the machine's cores) and with `unzip -q`, in the same
// run, checks that both trees are equal, and prints our time on 1, 2, 4 and 8 threads.
// Usage: [KORDYNE_BENCH_DIR=dir] bench_extract [CORPUS_DIR]
//        (default /tmp/kordyne-corpus, made by shared/bench/make-corpus.sh)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchCorpus.h"
#include "platform/DescriptorTable.h"
#include "zip/reader/TZipReader.h"

namespace fs = std::filesystem;

namespace {

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// User + system time of this process and its finished children, in seconds.
double cpuSeconds() {
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        ::getrusage(who, &usage);
        for (const timeval& t : {usage.ru_utime, usage.ru_stime})
            total += static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    }
    return total;
}

struct Timing {
    double wall = 1e30; // best of the rounds
    double cpu = 1e30;
};

// Times one round into an emptied dest, keeping the best times in best.
void timeRound(Timing& best, const std::string& dest, const std::function<void()>& extract) {
    fs::remove_all(dest);
    ::sync();
    const double cpuStart = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    extract();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best.wall = std::min(best.wall, took.count());
    best.cpu = std::min(best.cpu, cpuSeconds() - cpuStart);
}

} // namespace

int main(int argc, char** argv) {
    kd::ReserveDescriptorTable(); // as the program does
    const std::string corpus = bench::corpusDirectory(argc, argv);
    // KORDYNE_BENCH_DIR may name a tmpfs (/dev/shm) to time the engines without the disk.
    const char* base = std::getenv("KORDYNE_BENCH_DIR");
    const std::string work =
        (fs::path(base ? base : fs::temp_directory_path().string()) / "kordyne-bench-extract")
            .string();
    const std::string archive = work + "/corpus.zip";
    fs::create_directories(work);
    fs::remove(archive);
    if (!run("cd '" + corpus + "' && zip -r -6 -q '" + archive + "' .")) {
        std::fprintf(stderr, "zip failed\n");
        return 1;
    }

    constexpr int kRounds = 5;
    const std::string ours = work + "/ours", theirs = work + "/unzip";
    int entries = 0;
    int threads = kd::TZipReader::DefaultExtractThreads();
    const auto extractOurs = [&] {
        kd::TZipReader zip;
        zip.SetExtractThreads(threads);
        zip.SetZipName(archive);
        zip.SetDestDir(ours);
        zip.SetDoAll(true);
        zip.SetRecreateDirs(true);
        zip.SetOverwriteMode(kd::TUZOverwriteMode::Always);
        entries = zip.ExtractArchive();
        if (!zip.ExtractFailures().empty())
            std::fprintf(stderr, "failure: %s: %s\n", zip.ExtractFailures()[0].Name.c_str(),
                         zip.ExtractFailures()[0].Message.c_str());
    };
    const auto extractUnzip = [&] {
        if (!run("unzip -q -o '" + archive + "' -d '" + theirs + "'"))
            std::fprintf(stderr, "unzip failed\n");
    };
    // KORDYNE_BENCH_PROFILE=n runs only ours on n threads, ten times, for a profiler.
    if (const char* profile = std::getenv("KORDYNE_BENCH_PROFILE")) {
        threads = std::max(1, std::atoi(profile));
        Timing best;
        for (int r = 0; r < 10; ++r)
            timeRound(best, ours, extractOurs);
        std::printf("ours on %d threads: wall %.3f s   cpu %.3f s\n", threads, best.wall, best.cpu);
        fs::remove_all(work);
        return 0;
    }
    // Rounds alternate, so that a change of load on the machine hits every contender
    // alike: unzip, ours on the machine's cores, then ours on 1, 2, 4 and 8 threads.
    const int cores = threads;
    const std::vector<int> counts{1, 2, 4, 8};
    Timing ourTime, unzipTime;
    std::vector<Timing> scaling(counts.size());
    bool same = true;
    for (int r = 0; r < kRounds; ++r) {
        timeRound(unzipTime, theirs, extractUnzip);
        threads = cores;
        timeRound(ourTime, ours, extractOurs);
        if (r == 0)
            same = run("diff -r -q '" + ours + "' '" + theirs + "' >/dev/null");
        for (std::size_t k = 0; k < counts.size(); ++k) {
            threads = counts[k];
            timeRound(scaling[k], ours, extractOurs);
        }
    }

    std::printf("archive: %s (%.1f MB, %d entries)\n", archive.c_str(),
                static_cast<double>(fs::file_size(archive)) / 1e6, entries);
    std::printf("wall  ours %.3f s   unzip -q %.3f s   ours/unzip %.2f (speed %.2fx unzip)\n",
                ourTime.wall, unzipTime.wall, ourTime.wall / unzipTime.wall,
                unzipTime.wall / ourTime.wall);
    std::printf("cpu   ours %.3f s   unzip -q %.3f s   ours/unzip %.2f (speed %.2fx unzip)\n",
                ourTime.cpu, unzipTime.cpu, ourTime.cpu / unzipTime.cpu,
                unzipTime.cpu / ourTime.cpu);
    std::printf("trees %s (ours on %d threads)\n", same ? "equal" : "DIFFER", cores);
    for (std::size_t k = 0; k < counts.size(); ++k)
        std::printf("threads %d: wall %.3f s (%.2f of unzip -q)   cpu %.3f s\n", counts[k],
                    scaling[k].wall, scaling[k].wall / unzipTime.wall, scaling[k].cpu);
    fs::remove_all(work);
    return same ? 0 : 1;
}
