#include "crypto/support/MhashOracle.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "crypto/support/HashOracle.h"
#include "support/TempDir.h"

namespace kd::test {
namespace {

// Prints one digest per line for the prefixes named on the command line.
constexpr const char* kOracleScript = R"PY(
import ctypes, sys
algorithm, path = sys.argv[1], sys.argv[2]
lengths = [int(n) for n in sys.argv[3:]]
zeros = path == 'zeros'
data = b'' if zeros else open(path, 'rb').read()
lib = ctypes.CDLL('libmhash.so.2')
lib.mhash_get_hash_name_static.restype = ctypes.c_char_p
lib.mhash_init.restype = ctypes.c_void_p
lib.mhash_end.restype = ctypes.c_void_p
ids = [i for i in range(64) if (lib.mhash_get_hash_name_static(i) or b'').decode().lower() == algorithm]
if not ids:
    sys.exit('libmhash has no ' + algorithm)
size = lib.mhash_get_block_size(ids[0])
for n in lengths:
    state = ctypes.c_void_p(lib.mhash_init(ids[0]))
    if zeros:
        piece = bytes(1 << 20)
        for done in range(0, n, len(piece)):
            lib.mhash(state, piece, min(len(piece), n - done))
    else:
        lib.mhash(state, data[:n], n)
    print(ctypes.string_at(lib.mhash_end(state), size).hex())
)PY";

} // namespace

std::vector<std::string> MhashDigests(const std::string& algorithm, const std::string* data,
                                      const std::vector<std::size_t>& lengths) {
    TempDir dir;
    std::ostringstream command;
    command << "python3 " << dir.write("oracle.py", kOracleScript) << ' ' << algorithm << ' '
            << (data ? dir.write("data", *data) : "zeros");
    for (auto n : lengths)
        command << ' ' << n;
    std::string output;
    const int status = runCommand(command.str(), &output);
    std::vector<std::string> digests;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        digests.push_back(line);
    if (status != 0 || digests.size() != lengths.size()) {
        ADD_FAILURE() << "the libmhash oracle failed for " << algorithm
                      << " (needs python3 and libmhash2):\n"
                      << output;
        return {};
    }
    return digests;
}

std::string HexDigestOf(THash& hash, const std::string& data,
                        const std::vector<std::size_t>& pieces) {
    hash.Init();
    std::size_t done = 0;
    for (auto n : pieces) {
        hash.Update(data.data() + done, n);
        done += n;
    }
    hash.Update(data.data() + done, data.size() - done);
    hash.Final();
    return ToHex(hash.DigestBytes());
}

std::vector<std::size_t> RandomPieces(std::size_t total, std::size_t largest, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> size(0, largest);
    std::vector<std::size_t> pieces;
    for (std::size_t done = 0;;) {
        const std::size_t n = size(random);
        if (done + n > total)
            return pieces;
        pieces.push_back(n);
        done += n;
    }
}

void ExpectDigestIgnoresCuts(THash& hash, const std::vector<std::size_t>& sizes,
                             std::size_t largest) {
    for (const std::size_t size : sizes) {
        const std::string data = RandomBytes(size, static_cast<std::uint32_t>(size));
        const std::string whole = HexDigestOf(hash, data);
        for (unsigned seed = 0; seed < 20; ++seed)
            EXPECT_EQ(HexDigestOf(hash, data, RandomPieces(size, largest, seed)), whole)
                << size << " bytes, seed " << seed;
    }
}

void ExpectOracleDigests(THash& hash, const std::string& data,
                         const std::vector<std::string>& expected) {
    const auto lengths = OracleLengths();
    ASSERT_EQ(expected.size(), lengths.size()) << "no oracle digests";
    for (std::size_t i = 0; i < lengths.size(); ++i)
        EXPECT_EQ(HexDigestOf(hash, data.substr(0, lengths[i])), expected[i])
            << "length " << lengths[i];
    EXPECT_EQ(HexDigestOf(hash, data, RandomPieces(data.size(), 5000, 7)), expected.back())
        << "all of the data in random pieces";
}

} // namespace kd::test
