#include "crypto/support/HashOracle.h"

#include <random>
#include <sstream>

#include "crypto/format/StringFormat.h"
#include "support/TempDir.h"

namespace kd::test {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string lengthList(const std::vector<std::size_t>& lengths) {
    std::string s;
    for (const auto n : lengths)
        s += std::to_string(n) + " ";
    return s;
}

} // namespace

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (auto& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

std::vector<std::size_t> OracleLengths() {
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    lengths.push_back(1 << 20);
    return lengths;
}

std::vector<std::string> PythonDigests(const std::string& algorithm, const std::string& data,
                                       const std::vector<std::size_t>& lengths) {
    TempDir dir;
    const std::string file = dir.write("data", data);
    const std::string script =
        dir.write("oracle.py", "import hashlib, sys, zlib\n"
                               "def digest(name, d):\n"
                               "    if name == 'crc32':\n"
                               "        return zlib.crc32(d).to_bytes(4, 'little').hex()\n"
                               "    return hashlib.new(name, d).hexdigest()\n"
                               "data = open(sys.argv[2], 'rb').read()\n"
                               "for n in sys.argv[3:]:\n"
                               "    print(digest(sys.argv[1], data[:int(n)]))\n");
    std::string out;
    if (runCommand("python3 " + script + " " + algorithm + " " + file + " " + lengthList(lengths),
                   &out) != 0)
        return {};
    return lines(out);
}

std::vector<std::string> RhashDigests(const std::string& option, const std::string& data,
                                      const std::vector<std::size_t>& lengths) {
    TempDir dir;
    std::string files;
    for (std::size_t i = 0; i < lengths.size(); ++i)
        files += " " + dir.write("p" + std::to_string(i), data.substr(0, lengths[i]));
    std::string out;
    if (runCommand("rhash " + option + " --printf='%{" + option.substr(2) + "}\\n'" + files,
                   &out) != 0)
        return {};
    return lines(out);
}

std::string ToHex(const std::string& bytes) {
    return BinaryToFormat(bytes, kFormatHEXL);
}

std::string HexDigest(const HashClass& cls, const std::string& data) {
    const auto hash = cls.Create();
    hash->Init();
    hash->Update(data.data(), data.size());
    hash->Final();
    return ToHex(hash->DigestBytes());
}

std::string HexDigestInPieces(const HashClass& cls, const std::string& data, std::uint32_t seed) {
    std::mt19937 rng(seed);
    const auto hash = cls.Create();
    hash->Init();
    for (std::size_t done = 0; done < data.size();) {
        // Mostly small pieces, now and then a long one, so both paths of Update run.
        const std::size_t want = rng() % 8 == 0 ? rng() % 5000 : rng() % 70;
        const std::size_t n = std::min(want, data.size() - done);
        hash->Update(data.data() + done, n);
        done += n;
    }
    hash->Final();
    return ToHex(hash->DigestBytes());
}

} // namespace kd::test
