// The self-extractor's configuration block: its bytes, texts cut to their fields,
// and reading it back.
#include <gtest/gtest.h>

#include "zip/selfextract/TSFXConfig.h"

using namespace kd;

namespace {

std::vector<std::uint8_t> blockOf(TSFXConfig& config) {
    config.BuildConfigBlock();
    return {config.ConfigBlock(), config.ConfigBlock() + config.ConfigBlockSize()};
}

std::string textAt(const std::vector<std::uint8_t>& block, std::size_t from, std::size_t length) {
    return {reinterpret_cast<const char*>(block.data()) + from, length};
}

} // namespace

TEST(TSFXConfig, DefaultBlock) {
    TSFXConfig config;
    EXPECT_EQ(config.ConfigBlock(), nullptr);
    const auto block = blockOf(config);
    const std::string caption = "Self Extracting Archive";
    ASSERT_EQ(block.size(), 12 + caption.size());
    const std::vector<std::uint8_t> head = {'M', 'P', 'U', 12, 23, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 10), head);
    EXPECT_EQ(textAt(block, 10, caption.size()), caption);
    EXPECT_EQ(block[block.size() - 2], block.size());
    EXPECT_EQ(block.back(), 0);
}

TEST(TSFXConfig, FlagsAndTextsInOrder) {
    TSFXConfig config;
    config.SetUserCanChangeOverwrite(false);
    config.SetOverwriteMode(TsfxOverwriteMode::omPrompt);
    EXPECT_EQ(blockOf(config)[3], 4);

    config.SetUserCanDisableCmdLine(true);
    config.SetUserCanChooseFiles(true);
    config.SetUserCanChangeOverwrite(true);
    config.SetAutoExtract(true);
    config.SetOverwriteMode(TsfxOverwriteMode::omNever);
    config.SetCaption("C");
    config.SetDefaultPath("/home/d");
    config.SetCmdLine("run");
    config.SetInfoText("info");
    config.SetInfoTitle("Kordyne - automatické zálohování");
    const auto block = blockOf(config);
    EXPECT_EQ(block[3], 0x01 | 0x02 | 0x10 | 0x40);
    EXPECT_EQ(block[4], 1);
    EXPECT_EQ(block[5], 7);
    EXPECT_EQ(block[6], 3);
    EXPECT_EQ(block[7] | block[8] << 8, 4);
    EXPECT_EQ(block[9], 36); // bytes of UTF-8, not characters
    EXPECT_EQ(textAt(block, 10, block.size() - 12),
              "C/home/druninfoKordyne - automatické zálohování");
}

TEST(TSFXConfig, LongTextsAreCutAtCharacterBoundariesNotWrapped) {
    TSFXConfig config;
    config.SetCaption(std::string(300, 'a'));
    config.SetDefaultPath(std::string(254, 'p') + "ř"); // the two-byte "ř" does not fit
    config.SetInfoText(std::string(300, 'i'));
    auto block = blockOf(config);
    EXPECT_EQ(block[4], 255);
    EXPECT_EQ(block[5], 254);
    EXPECT_EQ(block[7] | block[8] << 8, 300);
    EXPECT_EQ(textAt(block, 10, 255), std::string(255, 'a'));

    // The total length has two bytes too: the info text gives way.
    config.SetInfoText(std::string(70000, 'i'));
    block = blockOf(config);
    EXPECT_EQ(block.size(), 0xFFFFu);
    EXPECT_EQ(config.ConfigBlockSize(), 0xFFFF);
    EXPECT_EQ(block[block.size() - 2] | block.back() << 8, 0xFFFF);
    EXPECT_EQ(block[7] | block[8] << 8, 0xFFFF - 12 - 255 - 254);

    EXPECT_EQ(clampUtf8("ab€", 4), "ab");
    EXPECT_EQ(clampUtf8("ab€", 5), "ab€");
    EXPECT_EQ(clampUtf8("€", 0), "");
}

TEST(TSFXConfig, LoadsWhatItBuilds) {
    TSFXConfig config;
    config.SetUserCanChooseFiles(true);
    config.SetUserCanChangeOverwrite(true);
    config.SetOverwriteMode(TsfxOverwriteMode::omNever);
    config.SetCaption("Záloha");
    config.SetDefaultPath("/data/");
    config.SetInfoText(std::string(1000, 'x'));
    auto block = blockOf(config);
    block.push_back('P'); // the archive follows

    TSFXConfig read;
    ASSERT_EQ(read.LoadConfigBlock(block.data(), block.size()), block.size() - 1);
    EXPECT_FALSE(read.UserCanDisableCmdLine());
    EXPECT_TRUE(read.UserCanChooseFiles());
    EXPECT_TRUE(read.UserCanChangeOverwrite());
    EXPECT_FALSE(read.AutoExtract());
    EXPECT_EQ(read.OverwriteMode(), TsfxOverwriteMode::omNever);
    EXPECT_EQ(read.Caption(), "Záloha");
    EXPECT_EQ(read.DefaultPath(), "/data/");
    EXPECT_EQ(read.InfoText(), config.InfoText());
    EXPECT_EQ(read.ConfigBlockSize(), config.ConfigBlockSize());
}

TEST(TSFXConfig, RefusesBrokenBlocks) {
    TSFXConfig config;
    config.SetCaption("keep");
    auto block = blockOf(config);
    TSFXConfig read;
    EXPECT_EQ(read.LoadConfigBlock(block.data(), block.size() - 1), 0u); // cut short
    auto wrongTotal = block;
    wrongTotal[wrongTotal.size() - 2] ^= 1;
    EXPECT_EQ(read.LoadConfigBlock(wrongTotal.data(), wrongTotal.size()), 0u);
    auto wrongSignature = block;
    wrongSignature[0] = 'X';
    EXPECT_EQ(read.LoadConfigBlock(wrongSignature.data(), wrongSignature.size()), 0u);
    EXPECT_EQ(read.Caption(), "Self Extracting Archive");
    EXPECT_EQ(read.ConfigBlock(), nullptr);

    auto bothModes = block;
    bothModes[3] |= 0x18; // no mode at all: the stub asks
    ASSERT_NE(read.LoadConfigBlock(bothModes.data(), bothModes.size()), 0u);
    EXPECT_EQ(read.OverwriteMode(), TsfxOverwriteMode::omPrompt);
}
