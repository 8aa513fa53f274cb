#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kd {

// What the self-extractor does with a file that already exists.
enum class TsfxOverwriteMode { omPrompt = 0, omAlways = 1, omNever = 2 };

// The options of a self-extracting archive, packed into the configuration block that
// lies between the stub program and the archive:
//
//   0  "MPU"
//   3  flags: bit 0 UserCanDisableCmdLine, bit 1 UserCanChooseFiles, bit 2 set when
//      the user can NOT change the overwrite mode, bits 3-4 OverwriteMode (prompt 0,
//      always 8, never 16), bit 6 AutoExtract
//   4  lengths of Caption, DefaultPath, CmdLine (one byte each), InfoText (two
//      bytes), InfoTitle (one byte)
//   10 the five texts in that order, UTF-8, no terminators
//   .. the block's total length (two bytes)
//
// Integers are little-endian. A text longer than its length field holds is cut at
// the last whole UTF-8 character that fits (InfoText also so that the total length
// fits its two bytes); nothing is wrapped.
class TSFXConfig {
public:
    static constexpr std::size_t kHeaderSize = 10;
    static constexpr std::size_t kMaxShortText = 0xFF;
    static constexpr std::size_t kMaxBlockSize = 0xFFFF;

    bool UserCanDisableCmdLine() const { return userCanDisableCmdLine_; }
    void SetUserCanDisableCmdLine(bool value) { userCanDisableCmdLine_ = value; }
    bool UserCanChooseFiles() const { return userCanChooseFiles_; }
    void SetUserCanChooseFiles(bool value) { userCanChooseFiles_ = value; }
    bool UserCanChangeOverwrite() const { return userCanChangeOverwrite_; }
    void SetUserCanChangeOverwrite(bool value) { userCanChangeOverwrite_ = value; }
    // Extract at once, without asking for the destination first.
    bool AutoExtract() const { return autoExtract_; }
    void SetAutoExtract(bool value) { autoExtract_ = value; }
    TsfxOverwriteMode OverwriteMode() const { return overwriteMode_; }
    void SetOverwriteMode(TsfxOverwriteMode value) { overwriteMode_ = value; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value) { caption_ = value; }
    // Where the files go unless the user names another directory.
    const std::string& DefaultPath() const { return defaultPath_; }
    void SetDefaultPath(const std::string& value) { defaultPath_ = value; }
    // A command run after extraction.
    const std::string& CmdLine() const { return cmdLine_; }
    void SetCmdLine(const std::string& value) { cmdLine_ = value; }
    const std::string& InfoText() const { return infoText_; }
    void SetInfoText(const std::string& value) { infoText_ = value; }
    const std::string& InfoTitle() const { return infoTitle_; }
    void SetInfoTitle(const std::string& value) { infoTitle_ = value; }

    // Packs the current properties into ConfigBlock, replacing any earlier block.
    void BuildConfigBlock();
    // The block last built or loaded; null before that.
    const std::uint8_t* ConfigBlock() const {
        return configBlock_.empty() ? nullptr : configBlock_.data();
    }
    std::uint16_t ConfigBlockSize() const {
        return static_cast<std::uint16_t>(configBlock_.size());
    }

    // Reads a block laid out as above from the start of data into the properties and
    // keeps it as ConfigBlock. Returns its length; 0, with nothing changed, when data
    // does not start with a whole, consistent block.
    std::size_t LoadConfigBlock(const std::uint8_t* data, std::size_t size);

private:
    bool userCanDisableCmdLine_ = false;
    bool userCanChooseFiles_ = false;
    bool userCanChangeOverwrite_ = false;
    bool autoExtract_ = false;
    TsfxOverwriteMode overwriteMode_ = TsfxOverwriteMode::omAlways;
    std::string caption_ = "Self Extracting Archive";
    std::string defaultPath_;
    std::string cmdLine_;
    std::string infoText_;
    std::string infoTitle_;
    std::vector<std::uint8_t> configBlock_;
};

// text cut to at most maxBytes bytes, without splitting a UTF-8 character.
std::string clampUtf8(const std::string& text, std::size_t maxBytes);

} // namespace kd
