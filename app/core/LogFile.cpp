#include "app/core/LogFile.h"

namespace kd {
namespace {

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace

LogFile::LogFile(const std::string& path, Mode mode)
    : out_(path, std::ios::binary | (mode == Mode::Append ? std::ios::app : std::ios::trunc)) {}

void LogFile::writeLine(std::string_view line) {
    if (!isOpen())
        return;
    out_ << line << "\r\n";
    out_.flush();
    if (!out_)
        out_.close();
}

std::string padRight(std::string_view text, std::size_t width) {
    const std::size_t count = characterCount(text);
    return std::string(text) + std::string(count < width ? width - count : 0, ' ');
}

std::string padLeft(std::string_view text, std::size_t width) {
    const std::size_t count = characterCount(text);
    return std::string(count < width ? width - count : 0, ' ') + std::string(text);
}

} // namespace kd
