#pragma once
// Base64 of RFC 2045 without line breaks.
#include "crypto/format/HexFormat.h"

namespace kd {

class TStringFormat_MIME64 : public TStringFormat_HEX {
public:
    static const TStringFormat_MIME64& Instance();

    // Characters outside the alphabet and "=" are skipped; every four alphabet characters
    // give three bytes, a group of fewer (padded or cut short) as many as its bits fill.
    std::string TextToBinary(std::string_view text) const override;
    std::string BinaryToText(std::string_view data) const override;
    std::string Name() const override { return "MIME Base 64"; }
    int FormatId() const override { return kFormatMIME64; }
    std::string_view ClassName() const override { return "TStringFormat_MIME64"; }
    std::string_view CharTable() const override;

protected:
    TStringFormat_MIME64() = default;
};

} // namespace kd
