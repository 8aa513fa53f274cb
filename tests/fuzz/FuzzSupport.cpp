#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kd::fuzz {

std::size_t BytesInput::Read(std::uint8_t* buffer, std::size_t capacity) {
    const std::size_t n = std::min({capacity, piece_, size_ - pos_});
    std::copy_n(data_ + pos_, n, buffer);
    pos_ += n;
    return n;
}

void CappedOutput::Write(const std::uint8_t* data, std::size_t length) {
    if (length > limit_ - bytes.size())
        throw OutputLimitReached{};
    bytes.insert(bytes.end(), data, data + length);
}

namespace {

struct ScratchDir {
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "kordyne-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            fail("cannot make the scratch directory");
        path = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path;
};

} // namespace

const std::string& scratchDir() {
    static const ScratchDir dir;
    return dir.path;
}

std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush())
        fail("cannot write " + path);
    return path;
}

void emptyDirectory(const std::string& path) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(path, ignored)) {
        // An extracted entry may have left a directory without write or search rights.
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(entry.path(), ignored);
    }
}

void fail(std::string_view what) {
    std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
    std::abort();
}

} // namespace kd::fuzz
