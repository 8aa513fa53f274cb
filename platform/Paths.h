#pragma once
#include <string>

namespace kd {

// Full path of the running executable and its directory (no trailing slash).
std::string executablePath();
std::string executableDirectory();

// File name part of a path ("a/b/c.txt" -> "c.txt").
std::string fileNameOf(const std::string& path);

} // namespace kd
