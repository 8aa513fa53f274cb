#pragma once
// UU and XX coding: lines of up to 45 bytes, each a length character and four characters
// per three bytes, written one after the other with no line breaks between them.
#include "crypto/format/StringFormat.h"

namespace kd {

class TStringFormat_UU : public TStringFormat {
public:
    static const TStringFormat_UU& Instance();

    // Throws EStringFormat for a bad length character or text ending inside a line.
    std::string TextToBinary(std::string_view text) const override;
    std::string BinaryToText(std::string_view data) const override;
    std::string Name() const override { return "UU Coding"; }
    int FormatId() const override { return kFormatUU; }
    // As text: every character in CharTable, length characters at most 45, and the last
    // line complete.
    bool IsValid(std::string_view data, bool asText) const override;
    std::string_view ClassName() const override { return "TStringFormat_UU"; }
    std::string_view CharTable() const override;

protected:
    TStringFormat_UU() = default;

private:
    // The value (0-63) of c in the table, or -1.
    int valueOf(unsigned char c) const;
};

class TStringFormat_XX : public TStringFormat_UU {
public:
    static const TStringFormat_XX& Instance();

    std::string Name() const override { return "XX Coding"; }
    int FormatId() const override { return kFormatXX; }
    std::string_view ClassName() const override { return "TStringFormat_XX"; }
    std::string_view CharTable() const override;

protected:
    TStringFormat_XX() = default;
};

} // namespace kd
