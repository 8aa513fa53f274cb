#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <string>

// Helpers of the tests that kill a run midway (SIGKILL, as a user's kill -9 or a
// power cut would end it) and look at what it left behind.
namespace kd::test {

// Runs work in a child process. work calls halt at the moment to be killed: the child
// then tells the parent and waits, and the parent kills it with SIGKILL. True when the
// child was killed there; false when it ended (or failed) without reaching halt.
bool killedAtHalt(const std::function<void(const std::function<void()>& halt)>& work);

// Name -> bytes of every entry directly in dir (a directory's bytes are "<dir>").
std::map<std::string, std::string> directoryContents(const std::string& dir);

// The same without the program's temporary files.
std::map<std::string, std::string> withoutTempFiles(std::map<std::string, std::string> files);

// Bytes that do not compress (the same for a size each time).
std::string noise(std::size_t size);

// True when the file system of dir makes unnamed temporary files.
bool hasUnnamedFiles(const std::string& dir);

} // namespace kd::test
