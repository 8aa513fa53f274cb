#pragma once
#include <string_view>

// Enumerations and fixed texts of the reader component (and of the writer built on it).
namespace kd {

// What extraction does with an existing target file.
enum class TUZOverwriteMode { Prompt = 0, Always = 1, Never = 2, ifNewer = 3, ifOlder = 4 };

// What an archive without an end record is taken for.
enum class TIncompleteZipMode { izAssumeMulti = 0, izAssumeBad = 1, izAssumeNotAZip = 2 };

// How an archive is spread: one file, disks of a removable drive, numbered part files.
enum class TMultiMode { mmNone = 0, mmSpan = 1, mmBlocks = 2 };

// Why an entry or a file was skipped.
enum class TSkipReason {
    srBadPassword = 0,
    srFileExists = 1,
    srOpenFailed = 2,
    srCreateFailed = 3,
    srUnknownMethod = 4,    // extraction: the entry's compression method is not supported
    srUnsafePath = 5,       // extraction: the name would lead outside the destination
    srUnreadableDir = 6,    // zipping: a directory to be searched cannot be listed
    srFileChanged = 7,      // zipping: the file kept changing while it was read
    srSpecialFile = 8,      // zipping: a FIFO, socket or device, which is never read
    srPathTooLong = 9,      // zipping: the path is longer than the system accepts
    srReadWriteFailed = 10, // extraction: the archive ended or the file could not be written
    srRefusedEntry = 11     // extraction: the entry overlaps another, or its name is too long or
                            // names nothing
};

inline constexpr std::string_view kTextOpenZipFile = "Open a Zip File";
inline constexpr std::string_view kTextZipFilter =
    "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*";
inline constexpr std::string_view kTextInsertDisk = "Please insert disk ";
inline constexpr std::string_view kTextOfMultiDiskSet = " of the multi-disk set.";
inline constexpr std::string_view kTextReplaceExisting = "Replace existing file ";
inline constexpr std::string_view kTextFileExistsAlert = "File Exists Alert";
inline constexpr std::string_view kTextUnknownMethod = "Unknown Compression Method";
inline constexpr std::string_view kTextZipError = "Zip Error";
inline constexpr std::string_view kTextError = "Error";

// The version number the component reports.
inline constexpr int kZipComponentVersion = 221;

} // namespace kd
