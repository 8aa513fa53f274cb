#pragma once
#include <string>

#include "platform/Exception.h"

// The ZIP engine's errors. Each carries its fixed English text unless a more precise
// one is given.
namespace kd {

inline constexpr const char* kMsgNotValidZip = "Not a valid zip file!";
inline constexpr const char* kMsgIncompleteZip = "Incomplete Zip File";
inline constexpr const char* kMsgPrematureEnd = "Premature end of file reached";
inline constexpr const char* kMsgUserAborted = "User Aborted Operation";
inline constexpr const char* kMsgCanceledZipName = "User canceled setting zip file name.";
inline constexpr const char* kMsgCanceledDestDir = "User canceled Set Desination Directory";
inline constexpr const char* kMsgCanceledNewDisk = "User canceled loading new disk.";
inline constexpr const char* kMsgCanceledZip = "User canceled Zip operation";
inline constexpr const char* kMsgBiggerThanUncompressed = "File is larger than uncompressed size!";
inline constexpr const char* kMsgNotEnoughRoom = "Not enough room to write archive";
inline constexpr const char* kMsgCantWriteUCF = "Cant write uncompressed file";

// The archive's directory is damaged beyond repair.
class EBadZipFile : public Exception {
public:
    explicit EBadZipFile(const std::string& message = kMsgNotValidZip) : Exception(message) {}
};

// The archive has no end record: probably a part of a multi-part set.
class EIncompleteZip : public Exception {
public:
    explicit EIncompleteZip(const std::string& message = kMsgIncompleteZip) : Exception(message) {}
};

// The file is not taken for a ZIP archive at all.
class ENotAZipFile : public Exception {
public:
    explicit ENotAZipFile(const std::string& message = kMsgNotValidZip) : Exception(message) {}
};

// The archive ends in the middle of an entry's data.
class EFatalUnzipError : public Exception {
public:
    explicit EFatalUnzipError(const std::string& message = kMsgPrematureEnd) : Exception(message) {}
};

// The user stopped the operation (cancel button, a cancelled dialog).
class EUserCanceled : public Exception {
public:
    explicit EUserCanceled(const std::string& message = kMsgUserAborted) : Exception(message) {}
};

// An entry decompresses to more bytes than its header announces.
class EBiggerThanUncompressed : public Exception {
public:
    explicit EBiggerThanUncompressed(const std::string& message = kMsgBiggerThanUncompressed)
        : Exception(message) {}
};

// The target medium is full.
class ENotEnoughRoom : public Exception {
public:
    explicit ENotEnoughRoom(const std::string& message = kMsgNotEnoughRoom) : Exception(message) {}
};

// An extracted file could not be written.
class ECantWriteUCF : public Exception {
public:
    explicit ECantWriteUCF(const std::string& message = kMsgCantWriteUCF) : Exception(message) {}
};

// The archive uses ZIP64 records (over 4 GiB or 65535 entries), which the engine
// does not read.
class EZip64NotSupported : public EBadZipFile {
public:
    explicit EZip64NotSupported(const std::string& what)
        : EBadZipFile("ZIP64 archives are not supported (" + what + ")") {}
};

// A part file or disk of a multi-part archive cannot be found.
class EMissingVolume : public Exception {
public:
    using Exception::Exception;
};

} // namespace kd
