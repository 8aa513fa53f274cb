#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How entry names are stored: the program holds them as UTF-8.
namespace kd {

// Decodes a stored name: UTF-8 when the flags carry the UTF-8 bit; CP852 when the
// host byte (high byte of version-made-by; 0 for local headers) is 0 (MS-DOS);
// otherwise UTF-8 when the bytes are valid UTF-8, else Windows-1250.
std::string DecodeEntryName(std::string_view stored, std::uint16_t flags,
                            std::uint16_t versionMadeBy);

struct StoredName {
    std::string bytes;
    bool utf8 = false; // the UTF-8 flag bit must be set
};

// Encodes a name for storing: ASCII as it is; CP852 when every character has a CP852
// byte and the host byte is 0 (a reader takes names of other hosts for UTF-8 or
// Windows-1250); else UTF-8 with the flag. Bytes that are not valid UTF-8 (a Linux
// file name in another encoding) are kept as they are, with the flag.
StoredName EncodeEntryName(std::string_view name, std::uint16_t versionMadeBy);

// Where the file name begins in a stored name: behind its last "/" or "\" (archives
// from Windows separate with either). ":" is no separator: Linux file names hold it.
// Every split of a name into directory and file name goes through here, so that
// listing, sorting and extracting agree.
std::size_t EntryFileNameStart(std::string_view name);

// The name with every "\" turned into "/", the separator the program holds.
std::string WithForwardSlashes(std::string_view name);

} // namespace kd
