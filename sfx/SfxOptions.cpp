#include "sfx/SfxOptions.h"

#include <string_view>

namespace kd {

namespace {

TsfxOverwriteMode overwriteModeOf(const std::string& text) {
    if (text == "ask")
        return TsfxOverwriteMode::omPrompt;
    if (text == "always")
        return TsfxOverwriteMode::omAlways;
    if (text == "never")
        return TsfxOverwriteMode::omNever;
    throw SfxUsageError("Unknown overwrite mode \"" + text + "\" (ask, always or never)");
}

void addMasks(std::vector<std::string>& masks, const std::string& list) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(';', start);
        const std::string mask = list.substr(start, end - start);
        if (!mask.empty())
            masks.push_back(mask);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

} // namespace

SfxOptions ParseSfxOptions(int argc, const char* const* argv) {
    SfxOptions options;
    bool onlyOperands = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // The value of an option: "--name=value" or the next argument.
        const auto value = [&](std::string_view longName) -> std::string {
            const std::string prefix = std::string(longName) + "=";
            if (arg.rfind(prefix, 0) == 0)
                return arg.substr(prefix.size());
            if (i + 1 >= argc)
                throw SfxUsageError("Option " + arg + " needs a value");
            return argv[++i];
        };
        const auto is = [&](std::string_view shortName, std::string_view longName) {
            return arg == shortName || arg == longName ||
                   arg.rfind(std::string(longName) + "=", 0) == 0;
        };
        if (onlyOperands || arg.empty() || arg[0] != '-' || arg == "-") {
            if (options.Destination)
                throw SfxUsageError("More than one destination: " + arg);
            options.Destination = arg;
        } else if (arg == "--") {
            onlyOperands = true;
        } else if (is("-d", "--dest")) {
            if (options.Destination)
                throw SfxUsageError("More than one destination");
            options.Destination = value("--dest");
        } else if (is("-p", "--password")) {
            options.Password = value("--password");
        } else if (is("-o", "--overwrite")) {
            options.Overwrite = overwriteModeOf(value("--overwrite"));
        } else if (is("-f", "--files")) {
            addMasks(options.Files, value("--files"));
        } else if (arg == "-n" || arg == "--no-run") {
            options.NoRun = true;
        } else if (arg == "-l" || arg == "--list") {
            options.List = true;
        } else if (arg == "-y" || arg == "--yes") {
            options.Yes = true;
        } else if (arg == "-h" || arg == "--help") {
            options.Help = true;
        } else {
            throw SfxUsageError("Unknown option " + arg);
        }
    }
    return options;
}

void CheckAllowed(const SfxOptions& options, const TSFXConfig& config) {
    if (options.Overwrite && !config.UserCanChangeOverwrite())
        throw SfxUsageError("This archive does not let the overwrite mode be changed");
    if (!options.Files.empty() && !config.UserCanChooseFiles())
        throw SfxUsageError("This archive does not let files be chosen; it extracts all of them");
    if (options.NoRun && !config.UserCanDisableCmdLine() && !config.CmdLine().empty())
        throw SfxUsageError("This archive does not let its command be left out");
}

std::string SfxUsage(const std::string& program, const TSFXConfig& config) {
    std::string text = "Usage: " + program +
                       " [options] [destination]\n\n"
                       "Extracts the files of this self-extracting archive into the destination\n"
                       "directory";
    text += config.DefaultPath().empty() ? " (default: the current directory).\n"
                                         : " (default: " + config.DefaultPath() + ").\n";
    text += "\n"
            "  -d, --dest DIR          the destination directory (as the argument)\n"
            "  -y, --yes               do not ask for the destination\n"
            "  -p, --password TEXT     the password of encrypted files; without it the\n"
            "                          password is asked for (not shown) when needed, or\n"
            "                          read as a line from standard input when that is\n"
            "                          not a terminal\n";
    if (config.UserCanChangeOverwrite())
        text += "  -o, --overwrite MODE    existing files: ask, always or never\n";
    if (config.UserCanChooseFiles())
        text += "  -f, --files MASKS       extract only the files matching these masks\n"
                "                          (\";\"-separated, * and ?; may be repeated)\n";
    if (config.UserCanDisableCmdLine() && !config.CmdLine().empty())
        text += "  -n, --no-run            do not run the command after extracting\n";
    text += "  -l, --list              list the archive's files and end\n"
            "  -h, --help              show this text\n"
            "\n"
            "Exit status: 0 when every file was extracted, 1 when some were not or an\n"
            "error occurred, 2 for a wrong command line.\n";
    return text;
}

} // namespace kd
