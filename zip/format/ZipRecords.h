#pragma once
#include <cstdint>
#include <string>

// Fixed values of the three ZIP records and little-endian field access.
namespace kd {

inline constexpr std::uint32_t kCentralSignature = 0x02014B50; // "PK\1\2"
inline constexpr std::uint32_t kLocalSignature = 0x04034B50;   // "PK\3\4"
inline constexpr std::uint32_t kEndSignature = 0x06054B50;     // "PK\5\6"

inline constexpr std::size_t kLocalHeaderFixed = 30;
inline constexpr std::size_t kCentralHeaderFixed = 46;
inline constexpr std::size_t kEndRecordFixed = 22;
inline constexpr std::size_t kMaxCommentLength = 0xFFFF;
inline constexpr std::size_t kMaxNameLength = 0xFFFF; // bytes of a stored name

// General-purpose flag bits.
inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
inline constexpr std::uint16_t kFlagUtf8Name = 0x0800;

// Host systems of the "version made by" field (its high byte).
inline constexpr unsigned kHostMsDos = 0;
inline constexpr unsigned kHostUnix = 3;
inline constexpr unsigned HostOf(std::uint16_t versionMadeBy) {
    return versionMadeBy >> 8;
}
// What the writer records: ZIP 2.0 features, made on Unix (the external attributes
// carry the Unix mode in their high 16 bits).
inline constexpr std::uint16_t kMadeByUnix = kHostUnix << 8 | 20;

// "STOR", "SHR", "RED1".."RED4", "IMP", "TOK", "DEF" for methods 0-8; the decimal
// number for any other method.
std::string MethodName(unsigned method);

inline std::uint16_t GetLE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline std::uint32_t GetLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
inline std::uint64_t GetLE64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(GetLE32(p)) | static_cast<std::uint64_t>(GetLE32(p + 4))
                                                        << 32;
}
inline void PutLE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace kd
