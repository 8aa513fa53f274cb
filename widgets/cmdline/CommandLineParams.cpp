#include "widgets/cmdline/CommandLineParams.h"

namespace kd {

namespace {

bool isSeparator(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

bool isParamChar(char c) {
    return static_cast<unsigned char>(c) > 32;
}

} // namespace

std::string NextCommandLineParam(std::string_view line, std::size_t& position) {
    std::size_t i = position;
    while (i < line.size()) {
        if (isSeparator(line[i]))
            ++i;
        else if (line[i] == '"' && i + 1 < line.size() && line[i + 1] == '"')
            i += 2;
        else
            break;
    }
    std::string param;
    while (i < line.size() && isParamChar(line[i])) {
        if (line[i] == '"') {
            const std::size_t close = line.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? line.size() : close;
            param.append(line.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? line.size() : close + 1;
        } else {
            param += line[i++];
        }
    }
    position = i;
    return param;
}

std::size_t CountCommandLineParams(std::string_view line) {
    std::size_t count = 0;
    std::size_t position = 0;
    while (!NextCommandLineParam(line, position).empty())
        ++count;
    return count;
}

std::string CommandLineParam(std::string_view line, std::size_t n) {
    std::size_t position = 0;
    std::string param;
    for (std::size_t i = 0; i <= n; ++i) {
        param = NextCommandLineParam(line, position);
        if (param.empty())
            break;
    }
    return param;
}

void SplitProgramAndParams(std::string_view line, std::string& program, std::string& params) {
    program.clear();
    params.clear();
    std::size_t position = 0;
    program = NextCommandLineParam(line, position);
    for (std::string param = NextCommandLineParam(line, position); !param.empty();
         param = NextCommandLineParam(line, position)) {
        if (!params.empty())
            params += ' ';
        if (param.find(' ') != std::string::npos)
            params += '"' + param + '"';
        else
            params += param;
    }
}

} // namespace kd
