#include "sfx/SfxImage.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/FileStream.h"
#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

constexpr std::size_t kElfHeaderSize = 64;
constexpr std::size_t kProgramHeaderSize = 56;
constexpr std::size_t kSectionHeaderSize = 64;
constexpr std::uint32_t kSectionNoBits = 8; // occupies no bytes of the file

std::uint64_t getLE64(const std::uint8_t* p) {
    return GetLE32(p) | static_cast<std::uint64_t>(GetLE32(p + 4)) << 32;
}

[[noreturn]] void notElf(const std::string& what) {
    throw Exception("The self-extractor's program is not a readable ELF file: " + what);
}

// The entries of one header table; each entry's bytes in one buffer.
std::vector<std::uint8_t> readTable(Stream& stream, std::uint64_t offset, std::uint16_t count,
                                    std::uint16_t entrySize, std::size_t minEntrySize,
                                    std::uint64_t fileSize) {
    if (count == 0)
        return {};
    if (entrySize < minEntrySize)
        notElf("bad header table entry size");
    const std::uint64_t length = std::uint64_t{count} * entrySize;
    if (offset > fileSize || length > fileSize - offset)
        notElf("header table outside the file");
    std::vector<std::uint8_t> table(length);
    stream.Seek(static_cast<std::int64_t>(offset), SeekOrigin::Begin);
    stream.ReadBuffer(table.data(), table.size());
    return table;
}

} // namespace

std::int64_t ElfImageSize(Stream& stream) {
    const auto fileSize = static_cast<std::uint64_t>(stream.Size());
    std::array<std::uint8_t, kElfHeaderSize> h{};
    if (fileSize < h.size())
        notElf("too short");
    stream.Seek(0, SeekOrigin::Begin);
    stream.ReadBuffer(h.data(), h.size());
    if (h[0] != 0x7F || h[1] != 'E' || h[2] != 'L' || h[3] != 'F')
        notElf("no ELF signature");
    if (h[4] != 2 || h[5] != 1)
        notElf("not a 64-bit little-endian program");

    const std::uint64_t phoff = getLE64(&h[32]);
    const std::uint64_t shoff = getLE64(&h[40]);
    const std::uint16_t phentsize = GetLE16(&h[54]), phnum = GetLE16(&h[56]);
    const std::uint16_t shentsize = GetLE16(&h[58]), shnum = GetLE16(&h[60]);
    std::uint64_t end = kElfHeaderSize;
    const auto extend = [&](std::uint64_t offset, std::uint64_t length) {
        if (offset > fileSize || length > fileSize - offset)
            notElf("a part lies outside the file");
        end = std::max(end, offset + length);
    };

    const auto segments = readTable(stream, phoff, phnum, phentsize, kProgramHeaderSize, fileSize);
    extend(phoff, segments.size());
    for (std::size_t at = 0; at < segments.size(); at += phentsize)
        extend(getLE64(&segments[at + 8]), getLE64(&segments[at + 32]));

    const auto sections = readTable(stream, shoff, shnum, shentsize, kSectionHeaderSize, fileSize);
    extend(shoff, sections.size());
    for (std::size_t at = 0; at < sections.size(); at += shentsize)
        if (GetLE32(&sections[at + 4]) != kSectionNoBits)
            extend(getLE64(&sections[at + 24]), getLE64(&sections[at + 32]));
    return static_cast<std::int64_t>(end);
}

SfxImage ReadSfxImage(const std::string& path) {
    FileStream file(path, FileOpenMode::Read);
    SfxImage image;
    image.Path = path;
    image.StubSize = ElfImageSize(file);
    const std::int64_t available = file.Size() - image.StubSize;
    std::vector<std::uint8_t> block(
        static_cast<std::size_t>(std::min<std::int64_t>(available, TSFXConfig::kMaxBlockSize)));
    file.Seek(image.StubSize, SeekOrigin::Begin);
    file.ReadBuffer(block.data(), block.size());
    image.HasBlock = image.Config.LoadConfigBlock(block.data(), block.size()) != 0;
    return image;
}

} // namespace kd
