#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "zip/selfextract/TSFXConfig.h"

namespace kd {

// A command line the self-extractor does not accept.
class SfxUsageError : public Exception {
public:
    using Exception::Exception;
};

// The self-extractor's command line.
struct SfxOptions {
    std::optional<std::string> Destination;
    std::optional<std::string> Password;
    std::optional<TsfxOverwriteMode> Overwrite;
    std::vector<std::string> Files; // masks of the entries to extract; empty: all
    bool NoRun = false;             // do not run the archive's command
    bool List = false;
    bool Yes = false; // no question about the destination
    bool Help = false;
};

// Reads the arguments after the program name; throws SfxUsageError.
SfxOptions ParseSfxOptions(int argc, const char* const* argv);

// Refuses options that the archive's configuration does not allow the user.
void CheckAllowed(const SfxOptions& options, const TSFXConfig& config);

// The --help text for this archive (only the options it allows).
std::string SfxUsage(const std::string& program, const TSFXConfig& config);

} // namespace kd
