#include "widgets/edits/FileNameText.h"

#include "widgets/cmdline/CommandLineParams.h"

#include <sys/stat.h>

namespace kd {

namespace {

bool fileExists(const std::string& name) {
    struct stat info {};
    return !name.empty() && ::stat(name.c_str(), &info) == 0;
}

} // namespace

std::string TrimToFileName(const std::string& text) {
    if (fileExists(text))
        return text;
    std::size_t position = 0;
    return NextCommandLineParam(text, position);
}

std::string QuoteIfSpaced(const std::string& name) {
    if (name.find(' ') == std::string::npos || name.starts_with('"'))
        return name;
    return '"' + name + '"';
}

std::string DirectoryPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NamePart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace kd
