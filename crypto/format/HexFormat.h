#pragma once
// Hexadecimal text: two digits per byte, high nibble first.
#include "crypto/format/StringFormat.h"

namespace kd {

// Upper-case digits. Reading takes either case, skips other characters, and restarts
// at the first prefix character "X" or "$" (so 0x1F, $1F and 1F all give 0x1F).
class TStringFormat_HEX : public TStringFormat {
public:
    static const TStringFormat_HEX& Instance();

    std::string TextToBinary(std::string_view text) const override;
    std::string BinaryToText(std::string_view data) const override;
    std::string Name() const override { return "Hexadecimal"; }
    int FormatId() const override { return kFormatHEX; }
    // As text, every character must be in CharTable (case-sensitive).
    bool IsValid(std::string_view data, bool asText) const override;
    std::string_view ClassName() const override { return "TStringFormat_HEX"; }
    std::string_view CharTable() const override;

protected:
    TStringFormat_HEX() = default;
};

// Lower-case digits.
class TStringFormat_HEXL : public TStringFormat_HEX {
public:
    static const TStringFormat_HEXL& Instance();

    std::string Name() const override { return "Hexadecimal lowercase"; }
    int FormatId() const override { return kFormatHEXL; }
    std::string_view ClassName() const override { return "TStringFormat_HEXL"; }
    std::string_view CharTable() const override;

protected:
    TStringFormat_HEXL() = default;
};

} // namespace kd
