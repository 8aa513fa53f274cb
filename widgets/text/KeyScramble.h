#pragma once
#include <string>
#include <string_view>

namespace kd {

// Scrambles each byte of the text with the key's byte at the same index (modulo the
// key's length; an empty key leaves it as it is) and writes it as two lower-case
// hexadecimal digits: EncodeXorHex("", "abc") == "616263".
std::string EncodeXorHex(std::string_view key, std::string_view text);
// The reverse: pairs of hexadecimal digits (a last odd digit is ignored), a pair that
// is no hexadecimal number standing for a blank, each unscrambled with the key.
std::string DecodeXorHex(std::string_view key, std::string_view hex);

} // namespace kd
