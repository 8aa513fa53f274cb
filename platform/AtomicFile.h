#pragma once
#include <string>
#include <string_view>

namespace kd {

// Writes the whole file to a temporary file beside it, flushes it to disk and
// renames it over the target, so a crash never leaves half a file. Throws
// kd::Exception on any failure; the old file is then untouched.
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Reads a whole file; throws kd::Exception when it cannot be read.
std::string readWholeFile(const std::string& path);

} // namespace kd
