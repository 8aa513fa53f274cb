#pragma once
#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>

#include "platform/TempFileBeside.h"

namespace kd {

class ExtractTarget;

// The file an entry is extracted into: a temporary file beside the target
// (TempFileBeside: unnamed where the file system allows, so a killed run leaves
// nothing), put in the target's place only by Commit, removed otherwise. Until Commit
// the user's file at the target is neither opened nor truncated.
class ExtractTempFile {
public:
    // ECreateTargetFailed when the file cannot be created.
    explicit ExtractTempFile(const ExtractTarget& target);
    ExtractTempFile(const ExtractTempFile&) = delete;
    ExtractTempFile& operator=(const ExtractTempFile&) = delete;

    int Fd() const { return file_.Fd(); }
    // Empties the file for another try (ECantWriteUCF on failure).
    void Restart();
    // Sets the last-write time and the permission bits (when given), commits the data
    // to the device when flush, closes the file (ECantWriteUCF when any of that fails)
    // and puts it over the target (ECreateTargetFailed when that fails, for example
    // when a directory is in the way).
    void Commit(std::optional<std::time_t> modified, std::optional<mode_t> mode, bool flush);

private:
    [[noreturn]] void writeFailed(const char* what) const;

    const ExtractTarget& target_;
    TempFileBeside file_;
};

} // namespace kd
