// Times a whole extraction of a corpus archive (written by `zip -r -6`) with our engine
// and with `unzip -q`, in the same run, and checks that both trees are equal.
// Usage: bench_extract [CORPUS_DIR]   (default /tmp/kordyne-corpus; built when missing)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "zip/TZipReader.h"

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

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// Best wall time of several rounds in seconds; each round starts with an empty dest.
double bestOf(int rounds, const std::string& dest, const std::function<void()>& extract) {
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        fs::remove_all(dest);
        const auto start = std::chrono::steady_clock::now();
        extract();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const std::string corpus = argc > 1 ? argv[1] : "/tmp/kordyne-corpus";
    if (!fs::exists(corpus)) {
        const std::string script = findCorpusScript();
        if (script.empty() || !run("sh '" + script + "' '" + corpus + "' >/dev/null")) {
            std::fprintf(stderr, "cannot build the corpus in %s\n", corpus.c_str());
            return 1;
        }
    }
    const std::string work = (fs::temp_directory_path() / "kordyne-bench-extract").string();
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
    const double ourTime = bestOf(kRounds, ours, [&] {
        kd::TZipReader zip;
        zip.SetZipName(archive);
        zip.SetDestDir(ours);
        zip.SetDoAll(true);
        zip.SetRecreateDirs(true);
        zip.SetOverwriteMode(kd::TUZOverwriteMode::Always);
        entries = zip.ExtractArchive();
        if (!zip.ExtractFailures().empty())
            std::fprintf(stderr, "failure: %s: %s\n", zip.ExtractFailures()[0].Name.c_str(),
                         zip.ExtractFailures()[0].Message.c_str());
    });
    const double unzipTime = bestOf(kRounds, theirs, [&] {
        if (!run("unzip -q -o '" + archive + "' -d '" + theirs + "'"))
            std::fprintf(stderr, "unzip failed\n");
    });
    const bool same = run("diff -r -q '" + ours + "' '" + theirs + "' >/dev/null");

    std::printf("archive: %s (%.1f MB, %d entries)\n", archive.c_str(),
                static_cast<double>(fs::file_size(archive)) / 1e6, entries);
    std::printf("extract  ours %.3f s   unzip -q %.3f s   time ratio ours/unzip %.2f   "
                "(speed %.2fx unzip)   trees %s\n",
                ourTime, unzipTime, ourTime / unzipTime, unzipTime / ourTime,
                same ? "equal" : "DIFFER");
    fs::remove_all(work);
    return same ? 0 : 1;
}
