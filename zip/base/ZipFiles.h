#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DateTime.h"

// The engine's small file-system routines. Directory searches are TDirSearch, the
// buffered file stream TLFNFileStream, DOS dates DosDateTime.h, volume labels and
// drive types VolumeService (platform), code pages CodePage.h (platform).
namespace kd {

// The buffer size of the engine's file streams.
inline constexpr std::size_t kZipBufferSize = 65528;

// min(100, done * 100 / total rounded to nearest); 0 when total <= 0.
int Percent(std::int64_t done, std::int64_t total);

// The characters that make a name a mask.
inline constexpr std::string_view kWildcardChars = "*?<>|";

// True when text holds any of kWildcardChars.
bool HasWildcard(std::string_view text);

// The file's last-write time as a DOS value, clamped; 0xFFFFFFFF clamped (2099-12-31
// 23:59:58) when the file does not exist.
std::uint32_t FileDosDateTime(const std::string& name);
// The same as a date-time.
TDateTime FileDate(const std::string& name);

// Moves source to target by renaming, replacing an existing target in one step. False
// when the two are on different file systems or the rename fails; source and target
// are then untouched.
bool MoveFile(const std::string& source, const std::string& target);

// Moves source to target, or, when that cannot be done by renaming, copies it (the
// target is replaced only by a complete copy; the source then stays and the caller
// deletes it). Throws kd::Exception "Could not copy from SOURCE -> TARGET: reason".
void MoveOrCopyFile(const std::string& source, const std::string& target);

// Creates an empty file with a unique name beginning with "ZTF" in dir; returns its
// path. Throws kd::Exception when it cannot.
std::string TemporaryFileName(const std::string& dir);

// tempPath when it names an existing directory, else the system's temporary directory.
std::string TemporaryDirectory(const std::string& tempPath);

} // namespace kd
