#include "app/gui/LogText.h"

#include "platform/Exception.h"
#include "platform/TextFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace kd {

LogText readLogForView(const std::string& path, std::uint64_t limit) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw Exception("Cannot open " + path + ": " + std::strerror(errno));
    const auto size = static_cast<std::uint64_t>(in.tellg());
    LogText log;
    log.truncated = size > limit;
    const std::uint64_t start = log.truncated ? size - limit : 0;
    std::string bytes(static_cast<std::size_t>(size - start), '\0');
    in.seekg(static_cast<std::streamoff>(start));
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw Exception("Cannot read " + path + ": " + std::strerror(errno));
    if (log.truncated) {
        // The cut may fall inside a line or a character: begin at the next whole line.
        const std::size_t lineStart = bytes.find('\n');
        bytes.erase(0, lineStart == std::string::npos ? bytes.size() : lineStart + 1);
    }
    log.text = decodeTextBytes(bytes);
    return log;
}

} // namespace kd
