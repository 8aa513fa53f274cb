#include "zip/format/ZipCrypt.h"

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "zip/format/Crc32.h"

#include <cerrno>
#include <sys/random.h>

namespace kd {

namespace {

void FillRandom(std::uint8_t* data, std::size_t count) {
    while (count) {
        const ssize_t n = ::getrandom(data, count, 0);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Exception("Cannot get random bytes for the encryption header");
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
}

} // namespace

void ZipCrypt::InitCipherKeys(std::string_view password) {
    keys_ = {305419896u, 591751049u, 878082192u};
    for (char c : password)
        UpdateCipherKeys(static_cast<std::uint8_t>(c));
}

void ZipCrypt::UpdateCipherKeys(std::uint8_t plain) {
    keys_[0] = Crc32Byte(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = Crc32Byte(keys_[2], static_cast<std::uint8_t>(keys_[1] >> 24));
}

std::uint8_t ZipCrypt::DecryptByte() const {
    const std::uint32_t t = (keys_[2] & 0xFFFF) | 2;
    return static_cast<std::uint8_t>((t * (t ^ 1)) >> 8);
}

void ZipCrypt::DecryptBuffer(std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        data[i] ^= DecryptByte();
        UpdateCipherKeys(data[i]);
    }
}

void ZipCrypt::EncryptBuffer(std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t key = DecryptByte();
        UpdateCipherKeys(data[i]);
        data[i] ^= key;
    }
}

std::uint8_t ZipCrypt::DecryptHeader(std::string_view password, Header header) {
    InitCipherKeys(password);
    DecryptBuffer(header.data(), header.size());
    return header.back();
}

ZipCrypt::Header ZipCrypt::CreateEncryptionHeader(std::string_view password,
                                                  std::uint16_t checkWord) {
    Header header;
    FillRandom(header.data(), kHeaderSize - 2);
    header[kHeaderSize - 2] = static_cast<std::uint8_t>(checkWord);
    header[kHeaderSize - 1] = static_cast<std::uint8_t>(checkWord >> 8);
    InitCipherKeys(password);
    EncryptBuffer(header.data(), header.size());
    return header;
}

std::uint16_t ZipCrypt::CheckWord(unsigned flags, std::uint32_t crc32, std::uint16_t dosTime) {
    return (flags & 8) ? dosTime : static_cast<std::uint16_t>(crc32 >> 16);
}

std::uint8_t ZipCrypt::ExpectedCheckByte(unsigned flags, std::uint32_t crc32,
                                         std::uint16_t dosTime) {
    return static_cast<std::uint8_t>(CheckWord(flags, crc32, dosTime) >> 8);
}

std::vector<std::string> CipherPasswordCandidates(std::string_view utf8) {
    std::vector<std::string> candidates;
    if (auto ansi = fromUtf8(utf8, CodePage::Cp1250); ansi && *ansi != utf8)
        candidates.push_back(std::move(*ansi));
    candidates.emplace_back(utf8);
    return candidates;
}

} // namespace kd
