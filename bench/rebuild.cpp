// Times the repair of an archive whose directory is lost behind a stub full of false
// local-header signatures (8 and 64 MiB by default) and checks that every entry is
// found. No reference is timed: Info-ZIP's `zip -FF` keeps each false signature as an
// entry and gives up on large stubs.
// Usage: bench_rebuild [MIB...]
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "zip/reader/TZipReader.h"

namespace fs = std::filesystem;

namespace {

// Signatures passing the version check whose data end where no record stands.
void writeCandidates(std::ofstream& out, std::size_t mib) {
    std::array<char, 31> header{};
    const std::array<unsigned char, 8> fixed = {'P', 'K', 3, 4, 20, 0, 0, 0};
    std::copy(fixed.begin(), fixed.end(), header.begin());
    header[18] = 0x10; // 16 bytes of data named, ending inside the next signature
    header[26] = 1;
    header[30] = 'x';
    out << "stub";
    for (std::size_t n = (mib << 20) / header.size(); n > 0; --n)
        out.write(header.data(), header.size());
}

double seconds(const std::chrono::steady_clock::time_point& start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtoul(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {8, 64};
    const fs::path dir = fs::temp_directory_path() / "kordyne-bench-rebuild";
    fs::create_directories(dir);
    const std::string tree = (dir / "tree").string();
    fs::create_directories(tree);
    for (int i = 0; i < 20; ++i)
        std::ofstream(tree + "/file" + std::to_string(i) + ".txt") << std::string(5000, 'a' + i);
    const std::string good = (dir / "good.zip").string();
    fs::remove(good);
    if (std::system(("cd '" + tree + "' && zip -q -r '" + good + "' .").c_str()) != 0)
        return 1;
    std::printf("%8s %10s %10s\n", "MiB", "seconds", "MiB/s");
    for (const std::size_t mib : sizes) {
        const std::string damaged = (dir / "damaged.zip").string();
        {
            std::ofstream out(damaged, std::ios::binary | std::ios::trunc);
            writeCandidates(out, mib);
            std::ifstream in(good, std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)), {});
            out << bytes.substr(0, bytes.rfind("PK\x05\x06")); // the end record is lost
        }
        auto start = std::chrono::steady_clock::now();
        kd::TZipReader zip;
        zip.SetDoProcessMessages(false);
        zip.SetZipName(damaged);
        zip.SetIncompleteZipMode(kd::TIncompleteZipMode::izAssumeBad);
        zip.OpenAndReadDirectory();
        const double ours = seconds(start);
        if (zip.GetEntryCount() != 20)
            std::printf("our reader found %d entries, not 20\n", zip.GetEntryCount());
        std::printf("%8zu %10.3f %10.0f\n", mib, ours, static_cast<double>(mib) / ours);
    }
    fs::remove_all(dir);
    return 0;
}
