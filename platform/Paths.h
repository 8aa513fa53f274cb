#pragma once
#include <string>

namespace kd {

// Full path of the running executable and its directory (no trailing slash).
std::string executablePath();
std::string executableDirectory();

// The directory with exactly one "/" at its end (an empty one stays empty).
std::string withTrailingSlash(std::string dir);
// The directory without "/" at its end; "/" itself stays "/".
std::string withoutTrailingSlash(std::string dir);

// File name part of a path ("a/b/c.txt" -> "c.txt").
std::string fileNameOf(const std::string& path);

} // namespace kd
