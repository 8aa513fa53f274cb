#include "zip/selfextract/TSFXConfig.h"

#include <array>
#include <cstring>

#include "zip/format/ZipRecords.h"

namespace kd {

namespace {

constexpr char kSignature[3] = {'M', 'P', 'U'};

constexpr std::uint8_t kFlagDisableCmdLine = 0x01;
constexpr std::uint8_t kFlagChooseFiles = 0x02;
constexpr std::uint8_t kFlagFixedOverwrite = 0x04;
constexpr std::uint8_t kFlagOverwriteAlways = 0x08;
constexpr std::uint8_t kFlagOverwriteNever = 0x10;
constexpr std::uint8_t kFlagAutoExtract = 0x40;

void appendU16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

} // namespace

std::string clampUtf8(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = maxBytes;
    // Step back over continuation bytes to the lead byte of the character that does
    // not fit, so the cut falls before it.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

void TSFXConfig::BuildConfigBlock() {
    std::uint8_t flags = 0;
    if (userCanDisableCmdLine_)
        flags |= kFlagDisableCmdLine;
    if (userCanChooseFiles_)
        flags |= kFlagChooseFiles;
    if (!userCanChangeOverwrite_)
        flags |= kFlagFixedOverwrite;
    if (overwriteMode_ == TsfxOverwriteMode::omAlways)
        flags |= kFlagOverwriteAlways;
    else if (overwriteMode_ == TsfxOverwriteMode::omNever)
        flags |= kFlagOverwriteNever;
    if (autoExtract_)
        flags |= kFlagAutoExtract;

    const std::string caption = clampUtf8(caption_, kMaxShortText);
    const std::string defaultPath = clampUtf8(defaultPath_, kMaxShortText);
    const std::string cmdLine = clampUtf8(cmdLine_, kMaxShortText);
    const std::string infoTitle = clampUtf8(infoTitle_, kMaxShortText);
    const std::size_t fixed =
        kHeaderSize + 2 + caption.size() + defaultPath.size() + cmdLine.size() + infoTitle.size();
    const std::string infoText = clampUtf8(infoText_, kMaxBlockSize - fixed);

    std::vector<std::uint8_t> block(kSignature, kSignature + 3);
    block.reserve(fixed + infoText.size());
    block.push_back(flags);
    block.push_back(static_cast<std::uint8_t>(caption.size()));
    block.push_back(static_cast<std::uint8_t>(defaultPath.size()));
    block.push_back(static_cast<std::uint8_t>(cmdLine.size()));
    appendU16(block, infoText.size());
    block.push_back(static_cast<std::uint8_t>(infoTitle.size()));
    for (const std::string* text : {&caption, &defaultPath, &cmdLine, &infoText, &infoTitle})
        block.insert(block.end(), text->begin(), text->end());
    appendU16(block, block.size() + 2);
    configBlock_ = std::move(block);
}

std::size_t TSFXConfig::LoadConfigBlock(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderSize + 2 || std::memcmp(data, kSignature, 3) != 0)
        return 0;
    const std::array<std::size_t, 5> lengths = {data[4], data[5], data[6], GetLE16(data + 7),
                                                data[9]};
    std::size_t total = kHeaderSize + 2;
    for (const std::size_t length : lengths)
        total += length;
    if (total > size || GetLE16(data + total - 2) != total)
        return 0;

    const std::uint8_t flags = data[3];
    userCanDisableCmdLine_ = (flags & kFlagDisableCmdLine) != 0;
    userCanChooseFiles_ = (flags & kFlagChooseFiles) != 0;
    userCanChangeOverwrite_ = (flags & kFlagFixedOverwrite) == 0;
    autoExtract_ = (flags & kFlagAutoExtract) != 0;
    // Both mode bits set is no mode at all: asking is the safe reading.
    switch (flags & (kFlagOverwriteAlways | kFlagOverwriteNever)) {
    case kFlagOverwriteAlways:
        overwriteMode_ = TsfxOverwriteMode::omAlways;
        break;
    case kFlagOverwriteNever:
        overwriteMode_ = TsfxOverwriteMode::omNever;
        break;
    default:
        overwriteMode_ = TsfxOverwriteMode::omPrompt;
    }
    const char* text = reinterpret_cast<const char*>(data + kHeaderSize);
    const std::array<std::string*, 5> fields = {&caption_, &defaultPath_, &cmdLine_, &infoText_,
                                                &infoTitle_};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i]->assign(text, lengths[i]);
        text += lengths[i];
    }
    configBlock_.assign(data, data + total);
    return total;
}

} // namespace kd
