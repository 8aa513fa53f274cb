#pragma once
// The benchmark corpus shared by the benchmark programs: the directory made by
// make-corpus.sh from the shared folder (built when missing), read into memory.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace bench {

struct CorpusFile {
    std::string path;
    std::vector<std::uint8_t> data;
};

inline std::string findCorpusScript() {
    namespace fs = std::filesystem;
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

// The corpus directory named by argv[1] (default /tmp/kordyne-corpus), built when it
// does not exist yet; ends the program when it cannot be had.
inline std::string corpusDirectory(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : "/tmp/kordyne-corpus";
    if (std::filesystem::is_directory(dir))
        return dir;
    const std::string script = findCorpusScript();
    if (script.empty() ||
        std::system(("sh '" + script + "' '" + dir + "' >/dev/null").c_str()) != 0) {
        std::fprintf(stderr, "no corpus at %s and make-corpus.sh could not build it\n",
                     dir.c_str());
        std::exit(1);
    }
    return dir;
}

// Every regular file below dir, sorted by path.
inline std::vector<CorpusFile> loadCorpus(const std::string& dir) {
    std::vector<CorpusFile> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(dir)) {
        if (!item.is_regular_file() || item.is_symlink())
            continue;
        std::ifstream in(item.path(), std::ios::binary);
        files.push_back({item.path().string(), {std::istreambuf_iterator<char>(in), {}}});
    }
    std::sort(files.begin(), files.end(),
              [](const CorpusFile& a, const CorpusFile& b) { return a.path < b.path; });
    return files;
}

inline double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

} // namespace bench
