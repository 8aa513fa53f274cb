#pragma once
#include <string>

namespace kd {

// What kind of fault kept an entry from being extracted, for callers that word it in
// their own language; Other faults are told by the message alone.
enum class TExtractProblem {
    Other,
    AesEncrypted, // WinZip AES encryption (method 99), which the engine does not decrypt
    Overlapping,  // the entry shares its local header with another, or its data run
                  // into another entry's header or data (an overlapping "zip bomb")
    NameTooLong,  // the name does not fit the 65535 bytes a name may take
    ReadFailed,   // the archive ended, or could not be read, inside the entry's data
    WriteFailed,  // the extracted file could not be written (a full disk)
};

// An entry that an extraction run could not extract: damaged data, a wrong password,
// an unknown method, an unsafe name, or a file that could not be created. Entries left
// alone by choice (an existing file kept by the overwrite mode, a skip asked by a
// handler) are not failures.
struct TExtractFailure {
    int FileIndex = -1;  // into the view the run used
    std::string Name;    // the stored name (directory + file name), shortened when long
    std::string Message; // what went wrong
    TExtractProblem Problem = TExtractProblem::Other;
};

} // namespace kd
