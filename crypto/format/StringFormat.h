#pragma once
// Text formats of binary data (copy, hexadecimal, Base64, UU, XX) and their registry.
// A format is a stateless object; each class has one instance, which the registry holds.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Exception.h"

namespace kd {

// Unknown format ids and input a format cannot take.
class EStringFormat : public Exception {
public:
    using Exception::Exception;
};

// The copy format: bytes pass unchanged both ways.
class TStringFormat {
public:
    virtual ~TStringFormat() = default;
    TStringFormat(const TStringFormat&) = delete;
    TStringFormat& operator=(const TStringFormat&) = delete;
    static const TStringFormat& Instance();

    virtual std::string TextToBinary(std::string_view text) const;
    virtual std::string BinaryToText(std::string_view data) const;
    // A format without a name of its own gives its class name after the first "_".
    virtual std::string Name() const;
    virtual int FormatId() const { return 1; }
    virtual bool IsValid(std::string_view data, bool asText) const;
    virtual std::string_view ClassName() const { return "TStringFormat"; }
    // The characters a format writes and reads: its digits first, then the further
    // characters it tolerates in text. Empty for the copy format.
    virtual std::string_view CharTable() const { return {}; }

protected:
    TStringFormat() = default;
};

inline constexpr int kFormatCopy = 1;
inline constexpr int kFormatHEX = 16;
inline constexpr int kFormatHEXL = 1016;
inline constexpr int kFormatMIME64 = 4196;
inline constexpr int kFormatUU = 21845;
inline constexpr int kFormatXX = 22616;
inline constexpr int kFormatDefault = -1;

// The format used for the id -1; Base64 unless a caller changes it.
int& DefaultStringFormat();

// Registers formats in order: one whose id is already there replaces it in place, others
// are appended; null entries and the id -1 are skipped.
void RegisterStringFormats(const std::vector<const TStringFormat*>& formats);
// The registered formats, in registration order.
const std::vector<const TStringFormat*>& StringFormats();
// The first registered format with that id (-1: the default format), or null.
const TStringFormat* FindStringFormat(int id);
// Registers the six formats of the library (copy, HEX, HEXL, MIME64, UU, XX).
void RegisterBuiltinStringFormats();

// data in the format formatId. A null data pointer or format id 0 gives empty text; a
// negative length takes data up to its first zero byte. Throws EStringFormat for an
// unknown format or data the format cannot take.
std::string BinaryToFormat(const void* data, std::ptrdiff_t length, int formatId);
std::string BinaryToFormat(std::string_view data, int formatId);
// The inverse: text in the format formatId back to bytes; EStringFormat for invalid text.
std::string FormatToBinary(const void* text, std::ptrdiff_t length, int formatId);
std::string FormatToBinary(std::string_view text, int formatId);

} // namespace kd
