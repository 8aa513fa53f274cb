#include "crypto/format/StringFormat.h"

#include <cstring>

#include "crypto/format/HexFormat.h"
#include "crypto/format/Mime64Format.h"
#include "crypto/format/UUFormat.h"

namespace kd {

const TStringFormat& TStringFormat::Instance() {
    static const TStringFormat format;
    return format;
}

std::string TStringFormat::TextToBinary(std::string_view text) const {
    return std::string(text);
}

std::string TStringFormat::BinaryToText(std::string_view data) const {
    return std::string(data);
}

std::string TStringFormat::Name() const {
    if (ClassName() == "TStringFormat")
        return "copy Input to Output";
    // A format without a name of its own: its class name after the first "_".
    const std::string_view name = ClassName();
    const auto bar = name.find('_');
    return std::string(bar == std::string_view::npos ? name : name.substr(bar + 1));
}

bool TStringFormat::IsValid(std::string_view, bool) const {
    return true;
}

int& DefaultStringFormat() {
    static int id = kFormatMIME64;
    return id;
}

namespace {

std::vector<const TStringFormat*>& registry() {
    static std::vector<const TStringFormat*> list;
    return list;
}

std::string_view bounded(const void* data, std::ptrdiff_t length) {
    const auto* p = static_cast<const char*>(data);
    if (length < 0)
        return std::string_view(p, std::strlen(p));
    return std::string_view(p, std::size_t(length));
}

const TStringFormat& formatOf(int id) {
    const TStringFormat* format = FindStringFormat(id);
    if (!format)
        throw EStringFormat("String Format \"" + std::to_string(id) + "\" not exists.");
    return *format;
}

} // namespace

void RegisterStringFormats(const std::vector<const TStringFormat*>& formats) {
    auto& list = registry();
    for (const TStringFormat* format : formats) {
        if (!format || format->FormatId() == -1)
            continue;
        bool replaced = false;
        for (auto& entry : list)
            if (entry->FormatId() == format->FormatId()) {
                entry = format;
                replaced = true;
                break;
            }
        if (!replaced)
            list.push_back(format);
    }
}

const std::vector<const TStringFormat*>& StringFormats() {
    return registry();
}

const TStringFormat* FindStringFormat(int id) {
    if (id == -1)
        id = DefaultStringFormat();
    for (const TStringFormat* format : registry())
        if (format->FormatId() == id)
            return format;
    return nullptr;
}

void RegisterBuiltinStringFormats() {
    RegisterStringFormats({&TStringFormat::Instance(), &TStringFormat_HEX::Instance(),
                           &TStringFormat_HEXL::Instance(), &TStringFormat_MIME64::Instance(),
                           &TStringFormat_UU::Instance(), &TStringFormat_XX::Instance()});
}

std::string BinaryToFormat(const void* data, std::ptrdiff_t length, int formatId) {
    if (!data || formatId == 0 || length == 0)
        return {};
    return BinaryToFormat(bounded(data, length), formatId);
}

std::string BinaryToFormat(std::string_view data, int formatId) {
    if (data.empty() || formatId == 0)
        return {};
    const TStringFormat& format = formatOf(formatId);
    if (!format.IsValid(data, false))
        throw EStringFormat("Input can not be convert to " + format.Name() + " Format.");
    return format.BinaryToText(data);
}

std::string FormatToBinary(const void* text, std::ptrdiff_t length, int formatId) {
    if (!text || formatId == 0 || length == 0)
        return {};
    return FormatToBinary(bounded(text, length), formatId);
}

std::string FormatToBinary(std::string_view text, int formatId) {
    if (text.empty() || formatId == 0)
        return {};
    const TStringFormat& format = formatOf(formatId);
    if (!format.IsValid(text, true))
        throw EStringFormat("Input is not an valid " + format.Name() + " Format.");
    return format.TextToBinary(text);
}

} // namespace kd
