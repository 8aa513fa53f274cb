#include "platform/CodePage.h"
#include "platform/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kd;

namespace {

// Every byte 0x80..0xFF decoded by Python's codec, the independent oracle.
std::string pythonDecodeAll(const char* codec) {
    std::string out;
    const std::string cmd = std::string("python3 -c \"import sys; sys.stdout.buffer.write("
                                        "bytes(range(128,256)).decode('") +
                            codec + "', errors='replace').encode('utf-8'))\"";
    EXPECT_EQ(test::runCommand(cmd, &out), 0);
    return out;
}

std::string allHighBytes() {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

} // namespace

TEST(CodePage, Cp852MatchesPythonCodecForEveryByte) {
    EXPECT_EQ(toUtf8(allHighBytes(), CodePage::Cp852), pythonDecodeAll("cp852"));
}

TEST(CodePage, Cp1250MatchesPythonCodecWhereDefined) {
    const std::string ours = toUtf8(allHighBytes(), CodePage::Cp1250);
    std::string python = pythonDecodeAll("cp1250");
    // Python marks the five undefined bytes with U+FFFD; we keep them as C1 controls.
    std::size_t a = 0, b = 0;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char32_t mine = nextCodePoint(ours, a);
        const char32_t theirs = nextCodePoint(python, b);
        if (theirs == 0xFFFD)
            EXPECT_EQ(mine, static_cast<char32_t>(byte));
        else
            EXPECT_EQ(mine, theirs) << "byte " << byte;
    }
}

TEST(CodePage, EveryByteRoundTrips) {
    for (CodePage page : {CodePage::Cp852, CodePage::Cp1250}) {
        const std::string bytes = allHighBytes();
        EXPECT_EQ(fromUtf8(toUtf8(bytes, page), page), bytes);
    }
}

TEST(CodePage, CharacterOutsideThePageIsReported) {
    EXPECT_FALSE(fromUtf8("\xE2\x82\xAC", CodePage::Cp852).has_value()); // euro sign
    EXPECT_EQ(fromUtf8Lossy("a\xE2\x82\xAC", CodePage::Cp852), "a?");
    EXPECT_EQ(fromUtf8("\xC5\x99", CodePage::Cp852), std::string("\xFD")); // r with caron
}

TEST(CodePage, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8("plain ascii"));
    EXPECT_TRUE(isValidUtf8("\xC5\xBElu\xC5\xA5ou\xC4\x8Dk\xC3\xBD"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));         // truncated
    EXPECT_FALSE(isValidUtf8("\x9E\x6C\x75\x9D")); // Windows-1250 bytes
    EXPECT_EQ(utf8Length("\xC5\xBEl"), 2u);
}

TEST(TextFile, Utf8AndCp1250FilesReadAlikeWithAnyLineEnd) {
    test::TempDir dir;
    dir.write("utf8.txt", "\xEF\xBB\xBFK\xC5\xAF\xC5\x88=\xC5\xBElu\xC5\xA5\r\nB=2\r\n");
    dir.write("ansi.txt", "K\xF9\xF2=\x9Elu\x9D\nB=2");
    dir.write("mac.txt", "K\xF9\xF2=\x9Elu\x9D\rB=2\r");
    const std::vector<std::string> expected = {"K\xC5\xAF\xC5\x88=\xC5\xBElu\xC5\xA5", "B=2"};
    EXPECT_EQ(readTextLines(dir.file("utf8.txt")), expected);
    EXPECT_EQ(readTextLines(dir.file("ansi.txt")), expected);
    EXPECT_EQ(readTextLines(dir.file("mac.txt")), expected);
}

TEST(TextFile, WritesCrlfAtomicallyAndKeepsEmptyLines) {
    test::TempDir dir;
    const std::string path = dir.write("f.txt", "old content");
    writeTextLines(path, {"a", "", "c"});
    EXPECT_EQ(readTextLines(path), (std::vector<std::string>{"a", "", "c"}));
    std::string raw;
    test::runCommand("cat " + path, &raw);
    EXPECT_EQ(raw, "a\r\n\r\nc\r\n");
    // A write into a missing directory fails and leaves nothing behind.
    EXPECT_THROW(writeTextLines(dir.file("missing/f.txt"), {"x"}), std::exception);
}
