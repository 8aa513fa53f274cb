#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kd {

// Splits a command line into parameters: blanks and control characters (1 to 32)
// separate them, a double quote starts a run taken as it is up to the next quote,
// and a pair of quotes between parameters is skipped. Parameters have no length limit.

// The parameter starting at or after position (0-based), which moves past it; empty
// when there are no more.
std::string NextCommandLineParam(std::string_view line, std::size_t& position);
// Parameters in the line, the program included.
std::size_t CountCommandLineParams(std::string_view line);
// Parameter n, 0 being the program; empty when there are fewer.
std::string CommandLineParam(std::string_view line, std::size_t n);
// Program = parameter 0; parameters = the rest joined with single spaces, each one
// holding a space wrapped in double quotes. Both empty for an empty line.
void SplitProgramAndParams(std::string_view line, std::string& program, std::string& params);

} // namespace kd
