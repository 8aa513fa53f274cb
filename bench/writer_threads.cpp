// The writer's thread count against speed: the corpus (argv[1], see BenchCorpus.h)
// zipped at level 6 with 1, 2, 4 and 8 threads, best of three runs each; every
// archive must equal the one-thread archive byte for byte.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "BenchCorpus.h"
#include "platform/DescriptorTable.h"
#include "zip/writer/TZipWriter.h"

namespace {

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double zipOnce(const std::string& corpus, const std::string& archive, int threads) {
    std::filesystem::remove(archive);
    kd::TZipWriter zip;
    zip.SetZipName(archive);
    zip.SetRootDir(corpus + "/");
    zip.SetRecurse(true);
    zip.SetStorePaths(true);
    zip.SetRelativePaths(true);
    zip.SetThreads(threads);
    zip.SetFilesList({"*"});
    const auto start = std::chrono::steady_clock::now();
    zip.AddFilesToArchive();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    kd::ReserveDescriptorTable(); // as the program does
    const std::string corpus = bench::corpusDirectory(argc, argv);
    const std::string dir = std::filesystem::temp_directory_path() / "kordyne-bench-threads";
    std::filesystem::create_directories(dir);
    const std::string first = dir + "/t1.zip";
    std::string reference;
    double single = 0;
    for (const int threads : {1, 2, 4, 8}) {
        const std::string archive = dir + "/t" + std::to_string(threads) + ".zip";
        double best = 1e9;
        for (int round = 0; round < 3; ++round)
            best = std::min(best, zipOnce(corpus, archive, threads));
        const std::string bytes = bytesOf(archive);
        if (threads == 1) {
            reference = bytes;
            single = best;
        }
        std::printf("threads %d: %.3f s, speed-up %.2f, archive %s\n", threads, best, single / best,
                    bytes == reference ? "identical" : "DIFFERS");
        if (bytes != reference)
            return 1;
    }
    std::filesystem::remove_all(dir);
    return 0;
}
